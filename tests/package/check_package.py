#!/usr/bin/env python3
"""Checks the archives users get, as the build left them.

TALVORI.ts3_plugin: exactly package.ini and the three files in plugins/, all
deflated (the TeamSpeak package installer reads nothing else), package.ini
saying what plugin_info.h says. TALVORI-api8.zip: the API-8 DLL, TALVORI.exe
and README.txt. Every binary in them: the one just built (same bytes as in the
bin folder), of its machine, stripped as a Release build is, exporting exactly
the entry points of its API level (the lists the plugin tests use), TALVORI.exe
a GUI program, and none needing a mingw runtime DLL a user does not have.

Usage: check_package.py <package dir> <bin dir> <plugin_info.h> <plugin_exports.h>
"""
import re
import struct
import sys
import unittest
import zipfile
from pathlib import Path

PACKAGE_DIR = BIN_DIR = PLUGIN_INFO = PLUGIN_EXPORTS = None

I386, AMD64 = 0x14C, 0x8664
PE32, PE32_PLUS = 0x10B, 0x20B
IMAGE_FILE_DLL = 0x2000
SUBSYSTEM_WINDOWS_GUI = 2
MINGW_RUNTIME = re.compile(r"^(libgcc_s|libstdc\+\+|libwinpthread)", re.I)


def header_strings(path, names):
    """The string constants `names` of a C++ header: {name: text}."""
    text = Path(path).read_text()
    values = {}
    for name in names:
        found = re.findall(r"\b%s\[\]\s*=\s*\"([^\"\\]*)\";" % name, text)
        if len(found) != 1:
            raise AssertionError(f"{path}: expected one {name}, found {found}")
        values[name] = found[0]
    return values


def header_lists(path, names):
    """The quoted names inside `name = { ... };` of a C++ header: {name: [..]}."""
    text = Path(path).read_text()
    lists = {}
    for name in names:
        body = re.search(r"\b%s\s*=\s*\{(.*?)\};" % name, text, re.S)
        if not body:
            raise AssertionError(f"{path}: no list {name}")
        lists[name] = re.findall(r'"([^"]+)"', body.group(1))
    return lists


class PeImage:
    """What the checks need from a PE file, read from its bytes."""

    def __init__(self, data, label):
        self.data = data
        self.label = label
        if data[:2] != b"MZ":
            raise AssertionError(f"{label}: no MZ header")
        (pe,) = struct.unpack_from("<I", data, 0x3C)
        if data[pe:pe + 4] != b"PE\0\0":
            raise AssertionError(f"{label}: no PE signature")
        (self.machine, sections, _, self.symbol_table, self.symbol_count,
         optional_size, self.characteristics) = struct.unpack_from("<HHIIIHH", data, pe + 4)
        optional = pe + 24
        (self.magic,) = struct.unpack_from("<H", data, optional)
        (self.subsystem,) = struct.unpack_from("<H", data, optional + 68)
        directories = optional + (96 if self.magic == PE32 else 112)
        (count,) = struct.unpack_from("<I", data, directories - 4)
        self.directories = [struct.unpack_from("<II", data, directories + 8 * i)
                            for i in range(min(count, 16))]
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            name, vsize, va, raw_size, raw_at = struct.unpack_from("<8sIIII", data, table + 40 * i)
            self.sections.append((self.section_name(name), va, max(vsize, raw_size), raw_at))

    def section_name(self, field):
        """Names longer than 8 bytes (".eh_frame", ".debug_info") sit in the
        string table after the symbols; the field then reads "/<offset>"."""
        name = field.rstrip(b"\0").decode("latin-1")
        if not name.startswith("/"):
            return name
        start = self.symbol_table + 18 * self.symbol_count + int(name[1:])
        return self.data[start:self.data.index(b"\0", start)].decode("latin-1")

    def offset(self, rva):
        for _, va, size, raw_at in self.sections:
            if va <= rva < va + size:
                return raw_at + rva - va
        raise AssertionError(f"{self.label}: RVA {rva:#x} outside every section")

    def string(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii")

    def exports(self):
        """(the DLL's own name, the exported names) from the export directory."""
        rva = self.directories[0][0] if self.directories else 0
        if not rva:
            return None, []
        fields = struct.unpack_from("<IIHHIIIIIII", self.data, self.offset(rva))
        own_name, name_count, names_at = fields[4], fields[7], fields[9]
        first = self.offset(names_at)
        names = [self.string(struct.unpack_from("<I", self.data, first + 4 * i)[0])
                 for i in range(name_count)]
        return self.string(own_name), names

    def imported_dlls(self):
        rva = self.directories[1][0] if len(self.directories) > 1 else 0
        dlls = []
        at = self.offset(rva) if rva else None
        while at is not None:
            descriptor = struct.unpack_from("<IIIII", self.data, at)
            if not any(descriptor):
                break
            dlls.append(self.string(descriptor[3]))
            at += 20
        return dlls


class Archives(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.info = header_strings(PLUGIN_INFO, ["kName", "kVersion", "kAuthor", "kDescription"])
        lists = header_lists(PLUGIN_EXPORTS, ["kApi8Exports", "kApi26Exports"])
        cls.exports = {8: lists["kApi8Exports"], 26: lists["kApi26Exports"]}
        cls.ts3 = zipfile.ZipFile(Path(PACKAGE_DIR) / "TALVORI.ts3_plugin")
        cls.api8 = zipfile.ZipFile(Path(PACKAGE_DIR) / "TALVORI-api8.zip")

    @classmethod
    def tearDownClass(cls):
        cls.ts3.close()
        cls.api8.close()

    def test_export_lists_read_whole(self):
        self.assertEqual(len(self.exports[8]), 43)
        self.assertEqual(len(self.exports[26]), 43)

    def test_installer_package_holds_exactly_the_ini_and_plugins_deflated(self):
        self.assertEqual(sorted(self.ts3.namelist()), [
            "package.ini", "plugins/TALVORI.exe", "plugins/TALVOR_plugin_win32.dll",
            "plugins/TALVOR_plugin_win64.dll"])
        for entry in self.ts3.infolist():
            self.assertEqual(entry.compress_type, zipfile.ZIP_DEFLATED, entry.filename)
        self.assertIsNone(self.ts3.testzip())

    def test_package_ini_describes_the_plugin(self):
        text = self.ts3.read("package.ini").decode("ascii")
        lines = text.split("\r\n")
        self.assertEqual(lines[-1], "", "the last line ends with CR LF")
        values = {}
        for line in lines[:-1]:
            match = re.fullmatch(r"(\w+) = (.*)", line)
            self.assertIsNotNone(match, f"not a 'key = value' line: {line!r}")
            self.assertNotIn(match.group(1), values, "key given twice")
            values[match.group(1)] = match.group(2)
        self.assertEqual(values, {
            "Name": self.info["kName"],
            "Type": "Plugin",
            "Author": self.info["kAuthor"],
            "Version": self.info["kVersion"],
            "Platforms": "win32, win64",
            "Description": '"%s"' % self.info["kDescription"],
        })

    def test_manual_archive_holds_the_api8_plugin_overlay_and_readme(self):
        self.assertEqual(sorted(self.api8.namelist()),
                         ["README.txt", "TALVORI.exe", "TALVOR_plugin.dll"])
        self.assertIsNone(self.api8.testzip())
        readme = self.api8.read("README.txt").decode("ascii")
        self.assertIn("TALVOR_plugin.dll", readme)
        self.assertIn(self.info["kVersion"], readme)

    def check_binary(self, archive, entry, machine, api=None):
        name = entry.rsplit("/", 1)[-1]
        data = archive.read(entry)
        self.assertEqual(data, (Path(BIN_DIR) / name).read_bytes(),
                         f"{entry} is not the {name} just built")
        pe = PeImage(data, entry)
        self.assertEqual(pe.machine, machine, f"{entry}: machine")
        self.assertEqual(pe.magic, PE32_PLUS if machine == AMD64 else PE32, f"{entry}: PE kind")
        self.assertEqual(pe.symbol_count, 0, f"{entry} keeps its symbols")
        debug = [s[0] for s in pe.sections if s[0].startswith(".debug")]
        self.assertEqual(debug, [], f"{entry} keeps debug sections")
        runtime = [d for d in pe.imported_dlls() if MINGW_RUNTIME.match(d)]
        self.assertEqual(runtime, [], f"{entry} needs mingw runtime DLLs")
        own_name, exports = pe.exports()
        if api is None:
            self.assertFalse(pe.characteristics & IMAGE_FILE_DLL, f"{entry} is a DLL")
            self.assertEqual(pe.subsystem, SUBSYSTEM_WINDOWS_GUI, f"{entry} is not a GUI program")
            self.assertEqual(exports, [], f"{entry} exports")
        else:
            self.assertTrue(pe.characteristics & IMAGE_FILE_DLL, f"{entry} is not a DLL")
            self.assertEqual(own_name, name, f"{entry}: the name it was linked as")
            self.assertEqual(sorted(exports), sorted(self.exports[api]), f"{entry} exports")

    def test_installer_package_binaries(self):
        self.check_binary(self.ts3, "plugins/TALVOR_plugin_win32.dll", I386, 26)
        self.check_binary(self.ts3, "plugins/TALVOR_plugin_win64.dll", AMD64, 26)
        self.check_binary(self.ts3, "plugins/TALVORI.exe", AMD64)

    def test_manual_archive_binaries(self):
        self.check_binary(self.api8, "TALVOR_plugin.dll", I386, 8)
        self.check_binary(self.api8, "TALVORI.exe", AMD64)


if __name__ == "__main__":
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    PACKAGE_DIR, BIN_DIR, PLUGIN_INFO, PLUGIN_EXPORTS = sys.argv[1:]
    unittest.main(argv=sys.argv[:1], verbosity=2)
