#!/usr/bin/env bash
# install-test.sh PANEL APPLET WORKDIR
# The release as a user receives it. Packs the two binaries (tools/package.sh) into WORKDIR, copies
# the zip's files into a fresh Wine prefix laid out as the demo machine, and installs them as
# Windows 95/98 does when the user picks Install on the setup information file. Then: each file is
# in place and the Add/Remove Programs entry exists; the Control Panel item, opened by name through
# the Control Panel host, starts the installed panel; the entry's own command uninstalls, after
# which files and entries are exactly as before the install. Last, the floppy image lists the same
# files as the zip, with the same contents, and its two guides are DOS text: English in ASCII, Korean
# in code page 949, every line ending in CR LF, the version filled in.
set -euo pipefail
panel=$1 applet=$2 work=$(realpath -m "$3")
root=$(cd "$(dirname "$0")/../.." && pwd)
names=(ORRIVAN.EXE PENDRY.CPL ZENTARO.INF README.TXT README.KOR)
caption="Quenley Zentaro Control Pannel"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$work"
mkdir -p "$work"
"$root/tools/package.sh" "$panel" "$applet" "$work/dist" >/dev/null
zip=$(echo "$work"/dist/*.zip)
image=$(echo "$work"/dist/*.img)
[ "$(unzip -Z1 "$zip" | sort)" = "$(printf '%s\n' "${names[@]}" | sort)" ] ||
    fail "the zip holds $(unzip -Z1 "$zip" | xargs), want ${names[*]}"

session=$work/session
"$root/tools/wine-session.sh" start "$session"
trap '"$root/tools/wine-session.sh" stop "$session"' EXIT
# shellcheck disable=SC1091
. "$session/env"
eval "$("$root/tools/demo-machine.sh" "$WINEPREFIX")"
c=$WINEPREFIX/drive_c
unzip -q "$zip" -d "$c/SETUP"

# The applet says which release it is, as the panel does: setup compares the versions when a newer
# release is installed over an older one. Its icon holds the sizes the 9x shell draws unscaled, and
# its version information says what it is, in the item's own description.
file_version() { i686-w64-mingw32-windres -i "$1" -O rc | sed -n 's/^ *FILEVERSION \(.*\)\r*$/\1/p'; }
panel_version=$(file_version "$c/SETUP/ORRIVAN.EXE")
applet_version=$(file_version "$c/SETUP/PENDRY.CPL")
[ -n "$panel_version" ] && [ "$applet_version" = "$panel_version" ] ||
    fail "PENDRY.CPL has version '$applet_version', ORRIVAN.EXE '$panel_version'"
applet_ids="$root/applet/res/applet_resource.h"
python3 - "$root/tools/check-dialogs.py" "$c/SETUP/PENDRY.CPL" "$applet_ids" <<'EOF_ICON' || fail "PENDRY.CPL's icon or description"
import importlib.util, sys
located = importlib.util.spec_from_file_location("check_dialogs", sys.argv[1])
resources = importlib.util.module_from_spec(located)
located.loader.exec_module(resources)
found = resources.read_resources(sys.argv[2])
icon = resources.read_defines(sys.argv[3])["IDI_APPLET"]
images = resources.icon_images(found, icon)
want = [(40, 41, 8), (32, 32, 4), (16, 16, 4)]
if sorted(images) != sorted(want):
    sys.exit(f"icon {icon} holds {images}, want {want}")
# Explorer's Version tab shows the description first.
versions = [v for (t, _, _), v in found.items() if t == resources.RT_VERSION]
description = resources.version_strings(versions[0]).get("FileDescription") if len(versions) == 1 else None
if description != "Quenley Zentaro Control Pannel(Tavish)":
    sys.exit(f"FileDescription {description!r}")
EOF_ICON

# Every file under C: with its checksum, and every Add/Remove Programs entry (a fresh prefix may
# lack the key that holds them, which Windows 95/98 always has).
snapshot() {
    (cd "$c" && find . -type f -print0 | sort -z | xargs -0 md5sum)
    { wine reg query "$uninstall_key" /s 2>/dev/null || true; } | tr -d '\r' | grep -v '^$' || true
}
before=$(snapshot)

# What Windows 95/98 runs for Install in the setup information file's menu.
(cd "$c" && wine rundll.exe setupx.dll,InstallHinfSection DefaultInstall 132 'C:\SETUP\ZENTARO.INF')
wineserver -w
for placed in windows/ORRIVAN.EXE windows/system32/PENDRY.CPL windows/inf/ZENTARO.INF; do
    [ -f "$c/$placed" ] || fail "C:/$placed was not installed"
    cmp -s "$c/SETUP/${placed##*/}" "$c/$placed" || fail "C:/$placed differs from the zip's file"
done
entry=$(diff <(echo "$before") <(snapshot) | sed -n 's/^> //p' | grep -v '^[0-9a-f]\{32\} ' || true)
echo "$entry" | grep -q 'DisplayName *REG_SZ *[^ ]' || fail "no Add/Remove Programs entry with a name: $entry"
uninstall=$(echo "$entry" | sed -n 's/^ *UninstallString *REG_SZ *//p')
[ -n "$uninstall" ] || fail "the Add/Remove Programs entry has no uninstall command: $entry"

# The item, opened by name from C:\ where the host finds it in SYSTEM and the panel on the path.
(cd "$c" && exec wine control PENDRY.CPL) &
host=$!
opened=
for _ in $(seq 150); do
    xwininfo -root -tree | grep -qF "\"$caption\"" && { opened=1; break; }
    sleep 0.2
done
warned=$(xwininfo -root -tree | grep -cF '"Warning !!!"' || true)
wine taskkill /im ORRIVAN.EXE >/dev/null 2>&1 || true
wait "$host" || true
[ -n "$opened" ] || fail "the Control Panel item did not open the panel"
[ "$warned" = 0 ] || fail "the Control Panel item warned although the card is there"
closed=
for _ in $(seq 50); do xwininfo -root -tree | grep -qF "\"$caption\"" || { closed=1; break; }; sleep 0.2; done
[ -n "$closed" ] || fail "the panel did not close"

# Add/Remove Programs runs the entry's command as it stands.
read -ra command <<<"$uninstall"
(cd "$c" && wine "${command[@]}")
wineserver -w
diff <(echo "$before") <(snapshot) || fail "the uninstall did not restore files and entries as they were"

export MTOOLS_SKIP_CHECK=1
[ "$(stat -c %s "$image")" = 1474560 ] || fail "the floppy image is not 1.44 MB"
listed=$(mdir -i "$image" -b ::/ | sed 's|^::/||' | sort)
[ "$listed" = "$(printf '%s\n' "${names[@]}" | sort)" ] || fail "the floppy image lists $(echo "$listed" | xargs), want ${names[*]}"
for name in "${names[@]}"; do
    cmp -s <(mcopy -i "$image" "::/$name" -) <(unzip -p "$zip" "$name") || fail "$name differs between floppy and zip"
done
version=$(basename "$zip" .zip)
version=${version#zentaro-}
for guide in README.TXT:ASCII:UNINSTALL README.KOR:CP949:제거; do
    IFS=: read -r name charset heading <<<"$guide"
    text=$(mcopy -i "$image" "::/$name" - | iconv -f "$charset" -t UTF-8) || fail "$name is not in $charset"
    ! grep -qv $'\r$' <<<"$text" || fail "$name has lines without CR LF"
    grep -qx "$heading"$'\r' <<<"$text" || fail "$name has no section \"$heading\""
    grep -qF "Pannel $version" <<<"$text" || fail "$name does not name the release $version"
done
echo "installed, opened and uninstalled $(basename "$zip"); $(basename "$image") lists ${names[*]}"
