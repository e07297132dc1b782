#!/usr/bin/env python3
"""Checks tools/pecheck.py against small binaries built with the i686 MinGW-w64 compiler, good ones and
ones with one known fault each, plus patched and broken copies."""

import os
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pecheck  # noqa: E402

ALLOW = os.path.join(os.path.dirname(os.path.abspath(__file__)), "win9x-imports.txt")
CC = "i686-w64-mingw32-gcc-win32"
CFLAGS = ["-Os", "-fno-stack-protector", "-DWINVER=0x0400", "-D_WIN32_IE=0x0400"]
LDFLAGS = ["-static", "-s", "-Wl,--major-os-version,4", "-Wl,--minor-os-version,0",
           "-Wl,--subsystem,windows:4.0"]

PROGRAM = r"""
#include <windows.h>
#include <stdlib.h>
int WINAPI WinMain(HINSTANCE a, HINSTANCE b, LPSTR c, int d) {
    (void)a; (void)b; (void)d;
    EXTRA
    return MessageBoxA(NULL, c, "t", MB_OK);
}
"""

APPLET = r"""
#include <windows.h>
#ifndef KEEP_TLS
const PIMAGE_TLS_CALLBACK __dyn_tls_init_callback = NULL;
#endif
__declspec(dllexport) LONG APIENTRY CPlApplet(HWND w, UINT m, LPARAM a, LPARAM b) {
    (void)w; (void)a; (void)b;
    EXTRA
    return m == 1;
}
BOOL WINAPI DllMain(HINSTANCE h, DWORD r, LPVOID p) { (void)h; (void)r; (void)p; return TRUE; }
"""

# name: (source, extra statement, compiler flags, linker flags)
BUILDS = {
    "good.exe": (PROGRAM, "", ["-D_WIN32_WINNT=0x0400"], ["-mwindows"]),
    "console.exe": (PROGRAM, "", ["-D_WIN32_WINNT=0x0400"], ["-mconsole", "-Wl,--subsystem,console:4.0"]),
    "newcrt.exe": (PROGRAM, "free(_aligned_malloc(16, 16));", ["-D_WIN32_WINNT=0x0400"], ["-mwindows"]),
    "good.cpl": (APPLET, "", ["-D_WIN32_WINNT=0x0400"], ["-shared", "-Wl,--kill-at"]),
    "decorated.cpl": (APPLET, "", ["-D_WIN32_WINNT=0x0400"], ["-shared"]),
    "tls.cpl": (APPLET, "", ["-D_WIN32_WINNT=0x0400", "-DKEEP_TLS"], ["-shared", "-Wl,--kill-at"]),
    "deny.cpl": (APPLET, "if (m == 99) { AddVectoredExceptionHandler(1, NULL); return GetTickCount64(); }",
                 ["-D_WIN32_WINNT=0x0600"], ["-shared", "-Wl,--kill-at"]),
    "foreign.cpl": (APPLET, "if (m == 99) return WSAGetLastError();",
                    ["-D_WIN32_WINNT=0x0400", "-include", "winsock2.h"], ["-shared", "-Wl,--kill-at", "-lws2_32"]),
    "unlisted.cpl": (APPLET, "if (m == 99) return (LONG)GetKeyboardLayout(0);",
                     ["-D_WIN32_WINNT=0x0400"], ["-shared", "-Wl,--kill-at"]),
}


def patched(data, offset, fmt, value):
    data = bytearray(data)
    struct.pack_into(fmt, data, offset, value)
    return bytes(data)


@unittest.skipUnless(shutil.which(CC), CC + " is not installed")
class PeCheckTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.mkdtemp(prefix="pecheck-")
        cls.allow = pecheck.AllowList.load(ALLOW)
        for name, (source, extra, cflags, ldflags) in BUILDS.items():
            src = os.path.join(cls.dir, name + ".c")
            with open(src, "w") as f:
                f.write(source.replace("EXTRA", extra))
            subprocess.run([CC] + CFLAGS + cflags + [src, "-o", cls.path(name)] + LDFLAGS + ldflags,
                           check=True, capture_output=True)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.dir)

    @classmethod
    def path(cls, name):
        return os.path.join(cls.dir, name)

    def read(self, name):
        with open(self.path(name), "rb") as f:
            return f.read()

    def write(self, name, data):
        with open(self.path(name), "wb") as f:
            f.write(data)
        return self.path(name)

    def faults(self, path, role):
        return pecheck.check(path, role, self.allow)[1]

    def assertSingleFault(self, path, role, expected):
        faults = self.faults(path, role)
        self.assertEqual(len(faults), 1, faults)
        self.assertIn(expected, faults[0])

    def test_good_binaries_pass(self):
        self.assertEqual(self.faults(self.path("good.exe"), "program"), [])
        self.assertEqual(self.faults(self.path("good.cpl"), "applet"), [])

    def test_built_faults(self):
        cases = [
            ("console.exe", "program", "subsystem 3, must be 2"),
            ("newcrt.exe", "program", "msvcrt.dll!_aligned_malloc: absent on Windows 95/98"),
            ("decorated.cpl", "applet", "decorated export CPlApplet@16"),
            ("tls.cpl", "applet", "TLS directory present"),
            ("foreign.cpl", "applet", "imports WS2_32.dll"),
            ("unlisted.cpl", "applet", "USER32.dll!GetKeyboardLayout: function not in the"),
            ("good.cpl", "program", "image is a DLL"),  # wrong role
        ]
        for name, role, expected in cases:
            with self.subTest(name=name):
                self.assertTrue(any(expected in fault for fault in self.faults(self.path(name), role)),
                                self.faults(self.path(name), role))

    def test_deny_list_wins(self):
        faults = self.faults(self.path("deny.cpl"), "applet")
        for function in ("AddVectoredExceptionHandler", "GetTickCount64"):
            self.assertTrue(any("KERNEL32.dll!%s: absent" % function in fault for fault in faults), faults)
        with self.assertRaisesRegex(pecheck.PeError, "deny list"):
            pecheck.AllowList().parse("[kernel32]\n@95 test\nGetTickCount64\n")

    def test_patched_headers(self):
        data = self.read("good.exe")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        opt = pe + 24
        cases = [
            ("machine 0x8664", pe + 4, "<H", 0x8664),
            ("OS version 5.0", opt + 40, "<H", 5),
            ("OS version 4.10", opt + 42, "<H", 10),
            ("subsystem version 3.10", opt + 48, "<I", 3 | 10 << 16),
            ("not PE32", opt, "<H", 0x20B),
        ]
        for expected, offset, fmt, value in cases:
            with self.subTest(expected=expected):
                path = self.write("patched.exe", patched(data, offset, fmt, value))
                self.assertSingleFault(path, "program", expected)

    def test_import_by_ordinal(self):
        data = self.read("good.exe")
        image = pecheck.PeImage(data)
        first = image.offset(image.directory(pecheck.DIR_IMPORT)[0])
        lookup, _, _, name_rva, iat = struct.unpack_from("<IIIII", data, first)
        dll = image.cstring(name_rva)
        data = patched(data, image.offset(lookup), "<I", 0x80000011)
        data = patched(data, image.offset(iat), "<I", 0x80000011)
        self.assertSingleFault(self.write("ordinal.exe", data), "program",
                               "%s!ordinal 17: import by ordinal not in" % dll)

    def test_broken_files_fail_cleanly(self):
        data = self.read("good.cpl")
        cases = [
            ("empty.cpl", b"", "not an MZ executable"),
            ("text.cpl", b"MZ" + b"\xff" * 200, "truncated"),
            ("half.cpl", data[:len(data) // 2], "malformed PE"),
        ]
        for name, content, expected in cases:
            with self.subTest(name=name):
                self.assertSingleFault(self.write(name, content), "applet", expected)
        self.assertIn("cannot read", self.faults(self.path("missing.cpl"), "applet")[0])

    def test_allow_list_errors(self):
        cases = [
            ("[ws2_32]\n@95 x\nsend\n", "not one of the permitted DLLs"),
            ("[user32]\nMessageBoxA\n", "@group header first"),
            ("[user32]\n@95\n", "needs a tag and a note"),
            ("[user32]\n@95 x\nord:seven\n", "bad ordinal"),
            ("[msvcrt]\n@95 x\n___lc_codepage_func\n", "deny list"),
        ]
        for text, expected in cases:
            with self.subTest(text=text):
                with self.assertRaisesRegex(pecheck.PeError, expected):
                    pecheck.AllowList().parse(text)

    def test_command_line_exit_status(self):
        script = os.path.join(os.path.dirname(os.path.abspath(__file__)), "pecheck.py")
        good = subprocess.run([sys.executable, script, "--allow", ALLOW, "--program", self.path("good.exe"),
                               "--applet", self.path("good.cpl")], capture_output=True, text=True)
        self.assertEqual(good.returncode, 0, good.stdout)
        self.assertEqual(good.stdout.count("=> OK"), 2)
        bad = subprocess.run([sys.executable, script, "--allow", ALLOW, "--program", self.path("good.exe"),
                              "--applet", self.path("tls.cpl")], capture_output=True, text=True)
        self.assertEqual(bad.returncode, 1, bad.stdout)
        self.assertIn("FAULT: TLS directory present", bad.stdout)


if __name__ == "__main__":
    unittest.main()
