#!/usr/bin/env python3
"""The hardening of a built Windows program, read from its PE header.

Usage: test_pe.py PROGRAM.exe
"""

import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
from pe_file import (DLL_DYNAMIC_BASE, DLL_NX_COMPAT, FILE_RELOCS_STRIPPED,  # noqa: E402
                     read_pe)

# Windows' own DLLs, present on every Windows the program runs on. A runtime DLL that is not
# part of Windows (libstdc++-6, libgcc_s_dw2-1, libwinpthread-1, libjpeg-62, ...) would have
# to be shipped beside the exe.
WINDOWS_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll", "shell32.dll", "advapi32.dll",
    "wininet.dll", "uxtheme.dll", "msvcrt.dll", "ole32.dll", "oleaut32.dll", "comdlg32.dll",
    "shlwapi.dll", "winmm.dll", "version.dll", "ws2_32.dll", "psapi.dll",
}

PROGRAM = None


class HardeningTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.pe = read_pe(PROGRAM)

    def test_loads_at_a_random_address_and_never_runs_its_data(self):
        self.assertTrue(self.pe.dll_characteristics & DLL_DYNAMIC_BASE, "DYNAMIC_BASE is not set")
        self.assertTrue(self.pe.dll_characteristics & DLL_NX_COMPAT, "NX_COMPAT is not set")
        # DYNAMIC_BASE without relocations leaves the loader no way to move the program.
        self.assertFalse(self.pe.file_characteristics & FILE_RELOCS_STRIPPED,
                         "the relocations are stripped, so the program cannot move")
        self.assertTrue(any(s.name == ".reloc" and s.raw_size > 0 for s in self.pe.sections),
                        "no .reloc section")

    def test_no_section_is_both_writable_and_executable(self):
        both = [s.name for s in self.pe.sections if s.writable and s.executable]
        self.assertEqual(both, [], f"writable and executable sections: {both}")

    def test_imports_only_windows_own_dlls(self):
        foreign = [name for name in self.pe.imported_dlls() if name.lower() not in WINDOWS_DLLS]
        self.assertEqual(foreign, [], f"DLLs that Windows does not have: {foreign}")

    def test_header_carries_no_link_time(self):
        # Two builds of one commit must give the same bytes.
        self.assertEqual(self.pe.timestamp, 0, "the PE header holds the time of the link")


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    PROGRAM = sys.argv.pop(1)
    unittest.main(verbosity=2)
