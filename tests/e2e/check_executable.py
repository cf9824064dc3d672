#!/usr/bin/env python3
"""Reads a built program for players (the installer, the remover) and checks
what a player's system sees in it:
a 64-bit GUI program that imports only Windows system DLLs (the MinGW runtime
is linked in), asks for the System32-only DLL search, carries ASLR with
high-entropy addresses and DEP, and holds its manifest, icon group and
version information."""
import re
import struct
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

EXE = Path(sys.argv[1]) if len(sys.argv) > 1 else Path("build/windows/patch_installer.exe")
OBJDUMP = sys.argv[2] if len(sys.argv) > 2 else "x86_64-w64-mingw32-objdump"
DESCRIPTION = sys.argv[3] if len(sys.argv) > 3 else "Game patch installer"
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "shell32.dll", "advapi32.dll", "msvcrt.dll"}


def objdump_headers():
    return subprocess.run([OBJDUMP, "-p", str(EXE)], check=True, capture_output=True, text=True).stdout


def resource(type_id, raw=True):
    out = subprocess.run(["wrestool", "-x", *(["--raw"] if raw else []), "-t", str(type_id), str(EXE)], check=True, capture_output=True)
    return out.stdout


class executable(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.headers = objdump_headers()

    def test_is_a_64_bit_gui_program(self):
        self.assertRegex(self.headers, r"Magic\s+020b")  # PE32+
        self.assertRegex(self.headers, r"Subsystem\s+00000002")  # Windows GUI

    def test_keeps_aslr_high_entropy_and_dep(self):
        flags = int(re.search(r"DllCharacteristics\s+([0-9a-fA-F]+)", self.headers).group(1), 16)
        self.assertTrue(flags & 0x0040, "DYNAMIC_BASE")
        self.assertTrue(flags & 0x0020, "HIGH_ENTROPY_VA")
        self.assertTrue(flags & 0x0100, "NX_COMPAT")
        # ASLR needs the relocations kept.
        self.assertRegex(self.headers, r"Base Relocation Directory \[\.reloc\]|\.reloc")

    def test_imports_only_system_dlls(self):
        dlls = {name.lower() for name in re.findall(r"DLL Name: (\S+)", self.headers)}
        self.assertTrue(dlls, "no import table found")
        self.assertLessEqual(dlls, SYSTEM_DLLS, "imports beyond the system DLLs")

    def test_restricts_the_dll_search_to_system32(self):
        self.assertRegex(self.headers, r"\bSetDefaultDllDirectories\b")

    def test_manifest_asks_for_no_elevation(self):
        manifest = resource(24).decode("utf-8")
        self.assertIn('level="asInvoker"', manifest)
        self.assertNotIn("requireAdministrator", manifest)
        self.assertNotIn("highestAvailable", manifest)
        self.assertIn("Microsoft.Windows.Common-Controls", manifest)

    def test_icon_group_holds_the_eight_images(self):
        data = resource(14, raw=False)
        _, kind, count = struct.unpack_from("<HHH", data, 0)
        self.assertEqual((kind, count), (1, 8))
        seen = {}
        for index in range(count):
            w, h, _, _, planes, bits, size, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * index)
            image = data[offset:offset + size]
            edge = w or 256
            self.assertEqual(w, h)
            self.assertEqual(bits, 32)
            if image.startswith(b"\x89PNG\r\n\x1a\n"):
                width, height = struct.unpack_from(">II", image, 16)
                seen[edge] = ("png", width, height)
            else:
                header_size, width, height, _, bitcount = struct.unpack_from("<IiiHH", image, 0)
                self.assertEqual(header_size, 40)
                self.assertEqual(bitcount, 32)
                seen[edge] = ("bmp", width, height // 2)
        expected = {edge: ("bmp", edge, edge) for edge in (32, 48, 64, 72, 80, 96, 128)}
        expected[256] = ("png", 256, 256)
        self.assertEqual(seen, expected)

    def test_version_information_names_the_product(self):
        info = resource(16)
        self.assertIn("FileDescription".encode("utf-16-le"), info)
        self.assertIn(DESCRIPTION.encode("utf-16-le"), info)
        self.assertIn(EXE.name.encode("utf-16-le"), info)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
