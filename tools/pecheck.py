#!/usr/bin/env python3
"""Guards that Orrivan.exe and Pendry.cpl load and run on every Windows 95/98 machine.

Reads each binary's PE headers, import table and export table and fails on anything the loader of
Windows 95/98 rejects or that would make the binary misbehave there: a non-i386 or PE32+ image,
OS/subsystem versions other than 4.0, a DLL outside the set that Windows 95 itself ships (a C runtime
DLL above all), a function that the allow-list (tools/win9x-imports.txt) does not know from the first
Windows 95 (its @98 group documents what came later and fails too), any import by ordinal that the
list does not name, and for the applet a decorated CPlApplet, a TLS directory, a C++ library linked
in, or missing base relocations. It disassembles the code and fails on any instruction newer than
the i486 (long NOPs and CPUID included), and it fails a binary over its size budget, one with unwind
tables, and a program that carries base relocations.

Functions that the code loads by name with GetProcAddress are held to the allow-list too. They are
found as the binary's NUL-terminated strings that name an export of a permitted DLL, as listed by
the toolchain's import libraries; strings that name a function the binary imports anyway are the
import table's own. So a new dynamic load is checked without anyone declaring it. A function of the
list's "nt" group passes only when loaded by name: the code looks it up where the NT family runs.

Usage: pecheck.py --allow tools/win9x-imports.txt [--program Orrivan.exe] [--applet Pendry.cpl] [-v]
Exit status: 0 when every binary passes, 1 when one fails, 2 on a usage or allow-list error.
"""

import argparse
import os
import re
import shutil
import struct
import subprocess
import sys

MACHINE_I386 = 0x14C
FILE_RELOCS_STRIPPED = 0x0001
PE32_MAGIC = 0x10B
SUBSYSTEM_GUI = 2
FILE_DLL = 0x2000
DIR_EXPORT, DIR_IMPORT, DIR_TLS, DIR_BASERELOC, DIR_DELAY_IMPORT = 0, 1, 9, 5, 13

# System DLLs that every Windows 95 ships. msvcrt.dll is not one of them: Windows 95 before OSR2
# lacks it, and it is not ours to redistribute.
ALLOWED_DLLS = ("KERNEL32", "USER32", "GDI32", "ADVAPI32", "COMCTL32", "COMDLG32", "SHELL32",
                "VERSION")
C_RUNTIME_DLL = re.compile(r"MSVCRT.*|MSVCR\d+D?|CRTDLL|UCRTBASED?|API-MS-WIN-CRT-.*|VCRUNTIME.*|LIBGCC.*"
                           r"|LIBSTDC\+\+.*|LIBWINPTHREAD.*")

# Size budgets in bytes: a plain C property-sheet program from this toolchain is 44 KiB, a bare
# applet 14 KiB.
SIZE_BUDGETS = {"program": 44 * 1024, "applet": 12 * 1024}

# Instructions that a Pentium, K6 or 486 does not have (P6 and later, or MMX/SSE): the first match
# in a line of objdump's disassembly names the kind.
NEWER_THAN_I486 = [
    ("CMOVcc (P6)", re.compile(r"\tcmov[a-z]+\b")),
    ("long NOP 0F 1F (P6)", re.compile(r"\tnop[lw]\b")),
    ("CPUID (late 486 and later)", re.compile(r"\tcpuid\b")),
    ("FCMOVcc (P6)", re.compile(r"\tfcmov[a-z]+\b")),
    ("FCOMI/FUCOMI (P6)", re.compile(r"\tf(u)?comip?\b")),
    ("RDTSC (Pentium)", re.compile(r"\trdtscp?\b")),
    ("RDPMC (Pentium Pro)", re.compile(r"\trdpmc\b")),
    ("CMPXCHG8B (Pentium)", re.compile(r"\tcmpxchg8b\b")),
    ("SYSENTER/SYSEXIT (Pentium II)", re.compile(r"\tsys(enter|exit)\b")),
    ("memory fence (SSE/SSE2)", re.compile(r"\t[lms]fence\b")),
    ("PAUSE (SSE2)", re.compile(r"\tpause\b")),
    ("MMX register", re.compile(r"%mm[0-7]\b")),
    ("SSE register", re.compile(r"%[xyz]mm[0-9]+\b")),
]
OBJDUMP = "i686-w64-mingw32-objdump"
NM = "i686-w64-mingw32-nm"
COMPILER = "i686-w64-mingw32-gcc-win32"  # knows where the import libraries are

# Functions missing on Windows 95/98 (or present only as stubs whose failure the callers would not
# survive). These win over the allow-list, so a careless edit of the list cannot let them through.
_DENY_KERNEL32 = [
    (r"AddVectoredExceptionHandler|RemoveVectoredExceptionHandler|AddVectoredContinueHandler"
     r"|RemoveVectoredContinueHandler", "vectored exception handling is Windows XP and later"),
    (r"GetTickCount64", "Windows Vista and later"),
    (r"GetModuleHandleEx[AW]", "Windows XP and later"),
    (r".*ConditionVariable.*", "condition variables are Windows Vista and later"),
    (r".*SRWLock.*", "SRW locks are Windows Vista and later"),
    (r"InitOnce.*", "one-time initialisation is Windows Vista and later"),
    (r"Fls(Alloc|Free|GetValue|SetValue)", "fiber-local storage is Windows Server 2003 and later"),
    (r"(Encode|Decode)(System)?Pointer", "Windows XP SP2 and later"),
    (r"GetFileSizeEx|SetFilePointerEx", "Windows 2000 and later"),
    (r"GetNativeSystemInfo|IsWow64Process", "Windows XP and later"),
    (r"ReplaceFile[AW]", "Windows 2000 and later"),
    (r"MoveFileEx[AW]", "a failing stub on 9x: a replace through it silently does not happen"),
]
DENY = {dll: [(re.compile(p + r"\Z"), why) for p, why in rules] for dll, rules in (("KERNEL32", _DENY_KERNEL32),)}

# Byte strings that only a linked-in libstdc++/libsupc++ brings (type names, messages, mangled names).
CXX_LIBRARY_MARKERS = (b"St9exception", b"St9bad_alloc", b"St9type_info", b"__gxx_personality",
                       b"pure virtual method called", b"terminate called", b"__cxa_", b"_ZNSt",
                       b"basic_string", b"std::bad_alloc")


class PeError(Exception):
    pass


def dll_key(name):
    """KERNEL32.dll, kernel32 and Kernel32.DLL all name one DLL."""
    name = name.strip().upper()
    return name[:-4] if name.endswith(".DLL") else name


def deny_reason(dll, function):
    for pattern, why in DENY.get(dll, ()):
        if isinstance(function, str) and pattern.match(function):
            return why
    return None


class AllowList:
    """tools/win9x-imports.txt: [DLL] sections, '@tag note' group headers, names separated by
    whitespace, 'ord:N' for an import by ordinal, '#' comments."""

    def __init__(self):
        self.entries = {}  # dll -> {function or ordinal int: tag}
        self.groups = {}   # tag -> note

    @classmethod
    def load(cls, path):
        allow = cls()
        with open(path, encoding="utf-8") as f:
            allow.parse(f.read(), path)
        return allow

    def parse(self, text, origin="<allow-list>"):
        dll = tag = None
        for number, raw in enumerate(text.splitlines(), 1):
            line = raw.split("#", 1)[0].strip()
            where = "%s:%d" % (origin, number)
            if not line:
                continue
            if line.startswith("[") and line.endswith("]"):
                dll = dll_key(line[1:-1])
                if dll not in ALLOWED_DLLS:
                    raise PeError("%s: %s is not one of the permitted DLLs" % (where, line))
                self.entries.setdefault(dll, {})
                tag = None
            elif line.startswith("@"):
                tag, _, note = line[1:].partition(" ")
                if not tag or not note.strip():
                    raise PeError("%s: a group header needs a tag and a note" % where)
                self.groups.setdefault(tag, note.strip())
            else:
                if dll is None or tag is None:
                    raise PeError("%s: names need a [DLL] section and an @group header first" % where)
                for word in line.split():
                    key = word
                    if word.startswith("ord:"):
                        try:
                            key = int(word[4:], 0)
                        except ValueError:
                            raise PeError("%s: bad ordinal %r" % (where, word)) from None
                    elif not re.fullmatch(r"[A-Za-z_?@$][\w?@$]*", word):
                        raise PeError("%s: %r is not a function name" % (where, word))
                    why = deny_reason(dll, key)
                    if why:
                        raise PeError("%s: %s is on the deny list (%s)" % (where, word, why))
                    self.entries[dll][key] = tag
        return self

    def tag(self, dll, function):
        return self.entries.get(dll, {}).get(function)


class PeImage:
    def __init__(self, data):
        self.data = data
        if len(data) < 0x40 or data[:2] != b"MZ":
            raise PeError("not an MZ executable")
        pe = self.u32(0x3C)
        if self.bytes_at(pe, 4) != b"PE\0\0":
            raise PeError("no PE signature")
        (self.machine, sections, _, _, _, opt_size, self.characteristics) = \
            struct.unpack_from("<HHIIIHH", data, pe + 4)
        opt = pe + 24
        self.magic = self.u16(opt)
        if self.magic != PE32_MAGIC:
            # The remaining fields sit elsewhere in PE32+; the caller reports the fault.
            self.os_version = self.subsystem_version = (0, 0)
            self.subsystem, self.sections, self.directories = 0, [], []
            return
        if opt_size < 96:
            raise PeError("optional header too short (%d bytes)" % opt_size)
        self.os_version = (self.u16(opt + 40), self.u16(opt + 42))
        self.subsystem_version = (self.u16(opt + 48), self.u16(opt + 50))
        self.subsystem = self.u16(opt + 68)
        count = min(self.u32(opt + 92), 16, (opt_size - 96) // 8)
        self.directories = [struct.unpack_from("<II", data, opt + 96 + 8 * i) for i in range(count)]
        table = opt + opt_size
        self.sections = []
        for i in range(sections):
            name, vsize, va, raw_size, raw_ptr = struct.unpack_from("<8sIIII", self.bytes_at(table + 40 * i, 40))
            self.sections.append((name.rstrip(b"\0").decode("latin-1"), va, max(vsize, raw_size), raw_ptr, raw_size))

    def bytes_at(self, offset, size):
        if offset < 0 or offset + size > len(self.data):
            raise PeError("truncated at file offset 0x%x" % offset)
        return self.data[offset:offset + size]

    def u16(self, offset):
        return struct.unpack("<H", self.bytes_at(offset, 2))[0]

    def u32(self, offset):
        return struct.unpack("<I", self.bytes_at(offset, 4))[0]

    def directory(self, index):
        return self.directories[index] if index < len(self.directories) else (0, 0)

    def offset(self, rva):
        for _, va, size, raw_ptr, raw_size in self.sections:
            if va <= rva < va + size:
                if rva - va >= raw_size:
                    raise PeError("RVA 0x%x lies in uninitialised data" % rva)
                return raw_ptr + rva - va
        raise PeError("RVA 0x%x is outside every section" % rva)

    def rva_u32(self, rva):
        return self.u32(self.offset(rva))

    def cstring(self, rva, limit=512):
        start = self.offset(rva)
        end = self.data.find(b"\0", start, start + limit)
        if end < 0:
            raise PeError("unterminated name at RVA 0x%x" % rva)
        return self.data[start:end].decode("latin-1")

    def imports(self):
        """[(dll name, [function name or ordinal int])] in table order."""
        rva = self.directory(DIR_IMPORT)[0]
        result = []
        if not rva:
            return result
        for i in range(4096):
            desc = self.bytes_at(self.offset(rva + 20 * i), 20)
            lookup, _, _, name_rva, iat = struct.unpack("<IIIII", desc)
            if not any(desc):
                return result
            functions = []
            thunk = lookup or iat
            for j in range(65536):
                entry = self.rva_u32(thunk + 4 * j)
                if entry == 0:
                    break
                if entry & 0x80000000:
                    functions.append(entry & 0xFFFF)
                else:
                    functions.append(self.cstring(entry + 2))
            else:
                raise PeError("import list of %s does not end" % self.cstring(name_rva))
            result.append((self.cstring(name_rva), functions))
        raise PeError("import table does not end")

    def exports(self):
        rva = self.directory(DIR_EXPORT)[0]
        if not rva:
            return []
        d = self.offset(rva)
        count, names = struct.unpack_from("<II", self.bytes_at(d + 20, 8))
        names_rva = self.u32(d + 32)
        if count > 65536 or names > count:
            raise PeError("implausible export table (%d names, %d functions)" % (names, count))
        return [self.cstring(self.rva_u32(names_rva + 4 * i)) for i in range(names)]


def newer_instructions(path):
    """{kind: (count, first function)} for each instruction kind newer than the i486 in the code."""
    objdump = shutil.which(OBJDUMP)
    if not objdump:
        raise PeError("%s is not installed: cannot disassemble" % OBJDUMP)
    listing = subprocess.run([objdump, "-d", "--no-show-raw-insn", path], capture_output=True,
                             text=True, errors="replace")
    if listing.returncode != 0:
        raise PeError("objdump failed: %s" % listing.stderr.strip())
    found = {}
    where = "?"
    for line in listing.stdout.splitlines():
        if line.endswith(">:"):
            where = line[line.find("<") + 1:-2]
            continue
        for kind, pattern in NEWER_THAN_I486:
            if pattern.search(line):
                count, first = found.get(kind, (0, where))
                found[kind] = (count + 1, first)
                break
    return found


_exports = None


def exported_functions():
    """{function name: [DLL]} for every permitted DLL, from the toolchain's import libraries."""
    global _exports
    if _exports is not None:
        return _exports
    for tool in (NM, COMPILER):
        if not shutil.which(tool):
            raise PeError("%s is not installed: cannot list the permitted DLLs' exports" % tool)
    exports = {}
    for dll in ALLOWED_DLLS:
        library = "lib%s.a" % dll.lower()
        path = subprocess.run([COMPILER, "-print-file-name=" + library], capture_output=True,
                              text=True).stdout.strip()
        listing = subprocess.run([NM, path], capture_output=True, text=True, errors="replace")
        if listing.returncode != 0 or not os.path.isabs(path):
            raise PeError("cannot list the exports of %s (%s)" % (dll, library))
        # "00000000 I __imp__GetOpenFileNameA@4": the import thunk of one export.
        for name in re.findall(r" I __imp__([A-Za-z_][\w?$]*?)(?:@\d+)?$", listing.stdout, re.M):
            exports.setdefault(name, []).append(dll)
    _exports = exports
    return exports


def loaded_by_name(data, imported):
    """[(name, [DLL])]: the binary's strings that name an export of a permitted DLL and are not
    one of its imports, in the order they appear."""
    exports = exported_functions()
    found = []
    for match in re.finditer(rb"(?<=\0)[A-Za-z_][\w?$@]{2,}(?=\0)", data):
        name = match.group().decode("ascii")
        if name in exports and name not in imported and name not in (n for n, _ in found):
            found.append((name, exports[name]))
    return found


def function_label(function):
    return "ordinal %d" % function if isinstance(function, int) else function


def check(path, role, allow, verbose=False):
    """Checks one binary; returns (report lines, faults)."""
    faults = []
    try:
        with open(path, "rb") as f:
            data = f.read()
    except OSError as error:
        return ["%s (%s): unreadable" % (path, role)], ["cannot read: %s" % error.strerror]
    budget = SIZE_BUDGETS[role]
    lines = ["%s (%s): %d bytes (%.1f KiB), budget %d KiB" % (os.path.basename(path), role, len(data),
                                                              len(data) / 1024, budget // 1024)]
    try:
        pe = PeImage(data)
        if pe.machine != MACHINE_I386:
            faults.append("machine 0x%x, not i386 (0x14c)" % pe.machine)
        if pe.magic != PE32_MAGIC:
            faults.append("optional header magic 0x%x, not PE32 (0x10b)" % pe.magic)
            return lines, faults
        lines.append("  OS version %d.%d, subsystem %d version %d.%d"
                     % (pe.os_version + (pe.subsystem,) + pe.subsystem_version))
        if pe.os_version != (4, 0):
            faults.append("OS version %d.%d, must be 4.0" % pe.os_version)
        if pe.subsystem_version != (4, 0):
            faults.append("subsystem version %d.%d, must be 4.0" % pe.subsystem_version)
        if len(data) > budget:
            faults.append("%d bytes, over the budget of %d bytes (%d KiB)" % (len(data), budget, budget // 1024))
        section_names = [section[0] for section in pe.sections]
        # A stripped image keeps only the first eight bytes of a section name.
        if any(name.startswith(".eh_fram") for name in section_names):
            faults.append("unwind tables (.eh_frame) present: nothing unwinds, they only add size")
        if role == "program" and (".reloc" in section_names or pe.directory(DIR_BASERELOC) != (0, 0)):
            faults.append("base relocations present: a program loads at its own base on Windows 95/98")
        if role == "applet" and (pe.directory(DIR_BASERELOC)[1] == 0 or pe.characteristics & FILE_RELOCS_STRIPPED):
            faults.append("no base relocations: Windows 95/98 cannot move the DLL when its base is taken")
        for kind, (count, first) in sorted(newer_instructions(path).items() if pe.machine == MACHINE_I386 else ()):
            faults.append("%d instruction(s) newer than the i486: %s, first in %s" % (count, kind, first))
        is_dll = bool(pe.characteristics & FILE_DLL)
        if role == "program":
            if pe.subsystem != SUBSYSTEM_GUI:
                faults.append("subsystem %d, must be 2 (Windows GUI)" % pe.subsystem)
            if is_dll:
                faults.append("image is a DLL")
        else:
            if not is_dll:
                faults.append("image is not a DLL")
            exports = pe.exports()
            if "CPlApplet" not in exports:
                faults.append("no export named CPlApplet (exports: %s)" % (", ".join(exports) or "none"))
            decorated = [name for name in exports if name.startswith("CPlApplet@") or name == "_CPlApplet@16"]
            if decorated:
                faults.append("decorated export %s: Control Panel looks up the plain name" % ", ".join(decorated))
            if pe.directory(DIR_TLS) != (0, 0):
                faults.append("TLS directory present (RVA 0x%x, %d bytes): Windows 95 will not LoadLibrary it"
                              % pe.directory(DIR_TLS))
            markers = [m.decode() for m in CXX_LIBRARY_MARKERS if m in data]
            if markers:
                faults.append("looks like a C++ library is linked in (found %s)" % ", ".join(markers))
        if pe.directory(DIR_DELAY_IMPORT) != (0, 0):
            faults.append("delay-load imports present: not checked, and not wanted")
        imports = pe.imports()
        for dll, functions in imports:
            key = dll_key(dll)
            if C_RUNTIME_DLL.fullmatch(key):
                faults.append("imports %s (%d functions): a C runtime DLL, which Windows 95 does not ship"
                              % (dll, len(functions)))
            elif key not in ALLOWED_DLLS:
                faults.append("imports %s (%d functions): not a Windows 95/98 system DLL" % (dll, len(functions)))
            else:
                for function in functions:
                    label = function_label(function)
                    why = deny_reason(key, function)
                    tag = allow.tag(key, function)
                    if why:
                        faults.append("%s!%s: absent on Windows 95/98 (%s)" % (dll, label, why))
                    elif tag is None:
                        kind = "import by ordinal" if isinstance(function, int) else "function"
                        faults.append("%s!%s: %s not in the Windows 95/98 allow-list" % (dll, label, kind))
                    elif tag != "95":
                        faults.append("%s!%s: %s (%s); the first Windows 95 lacks it"
                                      % (dll, label, allow.groups[tag], tag))
            lines.append("  %-13s %3d functions" % (dll, len(functions)))
            if verbose:
                lines.append("      " + " ".join(function_label(f) for f in functions))
        imported = {function for _, functions in imports for function in functions}
        for name, dlls in loaded_by_name(data, imported):
            lines.append("  loaded by name: %s (%s)" % (name, ", ".join(dlls)))
            tags = [allow.tag(dll, name) for dll in dlls]
            if "95" in tags or "nt" in tags:
                continue
            known = [(dll, tag) for dll, tag in zip(dlls, tags) if tag]
            if known:
                faults.append("%s!%s, loaded by name: %s (%s); the first Windows 95 lacks it"
                              % (known[0][0], name, allow.groups[known[0][1]], known[0][1]))
            else:
                faults.append("%s!%s, loaded by name: function not in the Windows 95/98 allow-list"
                              % ("/".join(dlls), name))
    except (PeError, struct.error) as error:
        faults.append("malformed PE: %s" % error)
    return lines, faults


def main(argv=None):
    parser = argparse.ArgumentParser(description="Checks that binaries load on Windows 95/98.")
    parser.add_argument("--allow", required=True, help="allow-list of Windows 95/98 imports")
    parser.add_argument("--program", action="append", default=[], help="a GUI program (.exe)")
    parser.add_argument("--applet", action="append", default=[], help="a Control Panel applet (.cpl)")
    parser.add_argument("-v", "--verbose", action="store_true", help="list every imported function")
    args = parser.parse_args(argv)
    if not args.program and not args.applet:
        parser.error("name at least one --program or --applet")
    try:
        allow = AllowList.load(args.allow)
    except (OSError, PeError) as error:
        print("pecheck: allow-list: %s" % error, file=sys.stderr)
        return 2
    failed = False
    for role, paths in (("program", args.program), ("applet", args.applet)):
        for path in paths:
            lines, faults = check(path, role, allow, args.verbose)
            print("\n".join(lines))
            for fault in faults:
                print("  FAULT: " + fault)
            print("  => %s" % ("FAIL" if faults else "OK"))
            failed |= bool(faults)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
