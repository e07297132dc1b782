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
# Good binaries are built as the deliverables are: i486 code, no unwind tables, no C runtime.
CFLAGS = ["-Os", "-march=i486", "-fno-stack-protector", "-fno-asynchronous-unwind-tables",
          "-DWINVER=0x0400", "-D_WIN32_IE=0x0400"]
LDFLAGS = ["-static", "-s", "-Wl,--major-os-version,4", "-Wl,--minor-os-version,0",
           "-Wl,--subsystem,windows:4.0"]
NO_CRT = ["-nostdlib"]
NO_CRT_LIBS = ["-lkernel32", "-luser32", "-lgcc"]
PROGRAM_LINK = NO_CRT + ["-mwindows", "-Wl,-e,_Entry@0", "-Wl,--disable-dynamicbase",
                         "-Wl,--disable-reloc-section"]
APPLET_LINK = NO_CRT + ["-shared", "-Wl,-e,_DllEntry@12"]

PROGRAM = r"""
#include <windows.h>
void __stdcall Entry(void) {
    EXTRA
    ExitProcess(MessageBoxA(NULL, GetCommandLineA(), "t", MB_OK));
}
"""

# The usual start-up of the toolchain: the C runtime DLL, and for a DLL a TLS directory.
PROGRAM_WITH_CRT = r"""
#include <windows.h>
int WINAPI WinMain(HINSTANCE a, HINSTANCE b, LPSTR c, int d) {
    (void)a; (void)b; (void)d;
    return MessageBoxA(NULL, c, "t", MB_OK);
}
"""

APPLET = r"""
#include <windows.h>
__declspec(dllexport) LONG APIENTRY CPlApplet(HWND w, UINT m, LPARAM a, LPARAM b) {
    (void)a; (void)b;
    EXTRA
    if (m == 5) MessageBoxA(w, "t", "t", MB_OK);  /* absolute addresses: base relocations */
    return m == 1;
}
BOOL WINAPI DllEntry(HINSTANCE h, DWORD r, LPVOID p) { (void)h; (void)r; (void)p; return TRUE; }
BOOL WINAPI DllMain(HINSTANCE h, DWORD r, LPVOID p) { return DllEntry(h, r, p); }
"""

W95 = ["-D_WIN32_WINNT=0x0400"]
# name: (source, extra statement, compiler flags, linker flags before and after the source)
BUILDS = {
    "good.exe": (PROGRAM, "", W95, PROGRAM_LINK, NO_CRT_LIBS),
    "console.exe": (PROGRAM, "", W95, PROGRAM_LINK + ["-mconsole", "-Wl,--subsystem,console:4.0"], NO_CRT_LIBS),
    "crt.exe": (PROGRAM_WITH_CRT, "", W95, ["-mwindows"], []),
    "unwind.exe": (PROGRAM, "", W95 + ["-fasynchronous-unwind-tables"], PROGRAM_LINK, NO_CRT_LIBS),
    "reloc.exe": (PROGRAM, "", W95, NO_CRT + ["-mwindows", "-Wl,-e,_Entry@0", "-Wl,--dynamicbase"],
                  NO_CRT_LIBS),
    "good.cpl": (APPLET, "", W95, APPLET_LINK + ["-Wl,--kill-at"], NO_CRT_LIBS),
    "decorated.cpl": (APPLET, "", W95, APPLET_LINK, NO_CRT_LIBS),
    "tls.cpl": (APPLET, "", W95, ["-shared", "-Wl,--kill-at"], []),
    "deny.cpl": (APPLET, "if (m == 99) { AddVectoredExceptionHandler(1, NULL); return GetTickCount64(); }",
                 ["-D_WIN32_WINNT=0x0600"], APPLET_LINK + ["-Wl,--kill-at"], NO_CRT_LIBS),
    "foreign.cpl": (APPLET, "if (m == 99) return WSAGetLastError();",
                    W95 + ["-include", "winsock2.h"], APPLET_LINK + ["-Wl,--kill-at"], ["-lws2_32"] + NO_CRT_LIBS),
    "win98.cpl": (APPLET, "if (m == 99) return IsDebuggerPresent();",
                  W95, APPLET_LINK + ["-Wl,--kill-at"], NO_CRT_LIBS),
    "unlisted.cpl": (APPLET, "if (m == 99) return (LONG)GetKeyboardLayout(0);",
                     W95, APPLET_LINK + ["-Wl,--kill-at"], NO_CRT_LIBS),
    # Functions loaded by name: one that Windows 95 has, one from Windows 98, one of the NT family, one
    # not listed; and the NT one imported as usual.
    "dynamic.cpl": (APPLET, 'if (m == 99) return (LONG)GetProcAddress(LoadLibraryA("comdlg32.dll"), "GetOpenFileNameA");',
                    W95, APPLET_LINK + ["-Wl,--kill-at"], NO_CRT_LIBS),
    "dynamic98.cpl": (APPLET, 'if (m == 99) return (LONG)GetProcAddress(GetModuleHandleA("kernel32.dll"), "IsDebuggerPresent");',
                      W95, APPLET_LINK + ["-Wl,--kill-at"], NO_CRT_LIBS),
    "dynamic-nt.cpl": (APPLET, 'if (m == 99) return (LONG)GetProcAddress(GetModuleHandleA("advapi32.dll"), "OpenProcessToken");',
                       W95, APPLET_LINK + ["-Wl,--kill-at"], NO_CRT_LIBS),
    "nt.cpl": (APPLET, "if (m == 99) return OpenProcessToken(0, 0, 0);",
               W95, APPLET_LINK + ["-Wl,--kill-at"], ["-ladvapi32"] + NO_CRT_LIBS),
    "dynamic-unlisted.cpl": (APPLET, 'if (m == 99) return (LONG)GetProcAddress(GetModuleHandleA("user32.dll"), "GetKeyboardLayout");',
                             W95, APPLET_LINK + ["-Wl,--kill-at"], NO_CRT_LIBS),
}

# One instruction of each kind newer than the i486, as bytes planted at a program's entry point.
NEWER_INSTRUCTIONS = [
    ("CMOVcc", bytes.fromhex("0f44c3")),         # cmove eax, ebx
    ("long NOP", bytes.fromhex("0f1f00")),       # nop dword [eax]
    ("long NOP", bytes.fromhex("660f1f440000")), # nop word [eax+eax]
    ("CPUID", bytes.fromhex("0fa2")),
    ("FCMOVcc", bytes.fromhex("dac1")),          # fcmovb st, st(1)
    ("FCOMI/FUCOMI", bytes.fromhex("dbf1")),     # fcomi st, st(1)
    ("FCOMI/FUCOMI", bytes.fromhex("dfe9")),     # fucomip st, st(1)
    ("RDTSC", bytes.fromhex("0f31")),
    ("RDPMC", bytes.fromhex("0f33")),
    ("CMPXCHG8B", bytes.fromhex("0fc70e")),      # cmpxchg8b [esi]
    ("SYSENTER/SYSEXIT", bytes.fromhex("0f34")),
    ("SYSENTER/SYSEXIT", bytes.fromhex("0f35")),
    ("memory fence", bytes.fromhex("0faee8")),   # lfence
    ("memory fence", bytes.fromhex("0faef0")),   # mfence
    ("memory fence", bytes.fromhex("0faef8")),   # sfence
    ("PAUSE", bytes.fromhex("f390")),
    ("MMX register", bytes.fromhex("0f6fc1")),   # movq mm0, mm1
    ("SSE register", bytes.fromhex("0f57c0")),   # xorps xmm0, xmm0
]


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
        for name, (source, extra, cflags, ldflags, libs) in BUILDS.items():
            src = os.path.join(cls.dir, name + ".c")
            with open(src, "w") as f:
                f.write(source.replace("EXTRA", extra))
            subprocess.run([CC] + CFLAGS + cflags + LDFLAGS + ldflags + [src, "-o", cls.path(name)] + libs,
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
        self.assertEqual(self.faults(self.path("dynamic.cpl"), "applet"), [])
        self.assertEqual(self.faults(self.path("dynamic-nt.cpl"), "applet"), [])

    def test_built_faults(self):
        cases = [
            ("console.exe", "program", "subsystem 3, must be 2"),
            ("crt.exe", "program", "imports msvcrt.dll"),
            ("crt.exe", "program", "a C runtime DLL"),
            ("unwind.exe", "program", "unwind tables (.eh_frame) present"),
            ("reloc.exe", "program", "base relocations present"),
            ("decorated.cpl", "applet", "decorated export CPlApplet@16"),
            ("tls.cpl", "applet", "TLS directory present"),
            ("foreign.cpl", "applet", "imports WS2_32.dll"),
            ("unlisted.cpl", "applet", "USER32.dll!GetKeyboardLayout: function not in the"),
            ("win98.cpl", "applet", "KERNEL32.dll!IsDebuggerPresent: added with Windows 98"),
            ("nt.cpl", "applet", "ADVAPI32.dll!OpenProcessToken: NT family only"),
            ("dynamic98.cpl", "applet", "KERNEL32!IsDebuggerPresent, loaded by name: added with Windows 98"),
            ("dynamic-unlisted.cpl", "applet", "USER32!GetKeyboardLayout, loaded by name: function not in"),
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

    def test_newer_instructions(self):
        data = self.read("good.exe")
        image = pecheck.PeImage(data)
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        entry = image.offset(struct.unpack_from("<I", data, pe + 24 + 16)[0])
        for kind, code in NEWER_INSTRUCTIONS:
            with self.subTest(kind=kind, code=code.hex()):
                planted = data[:entry] + code + data[entry + len(code):]
                self.assertSingleFault(self.write("planted.exe", planted), "program",
                                       "newer than the i486: " + kind)

    def test_size_budgets(self):
        for name, role in (("good.exe", "program"), ("good.cpl", "applet")):
            with self.subTest(name=name):
                data = self.read(name)
                padded = data + bytes(pecheck.SIZE_BUDGETS[role] + 1 - len(data))
                self.assertSingleFault(self.write("big-" + name, padded), role, "over the budget")
                self.assertEqual(self.faults(self.write("full-" + name, padded[:-1]), role), [])

    def test_patched_headers(self):
        # Offsets from the PE signature: the file header at 4, the optional header at 24.
        cases = [
            ("good.exe", "program", "machine 0x8664", 4, "<H", 0x8664),
            ("good.exe", "program", "OS version 5.0", 24 + 40, "<H", 5),
            ("good.exe", "program", "OS version 4.10", 24 + 42, "<H", 10),
            ("good.exe", "program", "subsystem version 3.10", 24 + 48, "<I", 3 | 10 << 16),
            ("good.exe", "program", "not PE32", 24, "<H", 0x20B),
            # The applet's base relocations: an empty directory, or the file marked as stripped.
            ("good.cpl", "applet", "no base relocations", 24 + 96 + 5 * 8 + 4, "<I", 0),
            ("good.cpl", "applet", "no base relocations", 22, "<H", lambda c: c | pecheck.FILE_RELOCS_STRIPPED),
        ]
        for name, role, expected, offset, fmt, value in cases:
            with self.subTest(expected=expected, offset=offset):
                data = self.read(name)
                pe = struct.unpack_from("<I", data, 0x3C)[0]
                if callable(value):
                    value = value(struct.unpack_from(fmt, data, pe + offset)[0])
                path = self.write("patched-" + name, patched(data, pe + offset, fmt, value))
                self.assertSingleFault(path, role, expected)

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
            ("[msvcrt]\n@95 x\nmalloc\n", "not one of the permitted DLLs"),
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
