"""Reads what the release checks need from a 32-bit Windows program (PE32): the header
fields, the sections, the imported DLLs and the sizes of the resources. Standard library only.
"""

import struct
from dataclasses import dataclass, field

# IMAGE_FILE_HEADER.Characteristics
FILE_RELOCS_STRIPPED = 0x0001
# IMAGE_OPTIONAL_HEADER.DllCharacteristics
DLL_DYNAMIC_BASE = 0x0040
DLL_NX_COMPAT = 0x0100
# IMAGE_SECTION_HEADER.Characteristics
SECTION_EXECUTE = 0x20000000
SECTION_WRITE = 0x80000000

_IMPORT_DIRECTORY = 1
_RESOURCE_DIRECTORY = 2
_RESOURCE_TYPES = {1: "cursor", 3: "icon", 14: "icon group", 10: "data (RCDATA)",
                   16: "version", 24: "manifest", 6: "string table", 5: "dialog"}


class NotAProgram(ValueError):
    pass


@dataclass
class Section:
    name: str
    virtual_address: int
    virtual_size: int
    raw_offset: int
    raw_size: int
    characteristics: int

    @property
    def writable(self):
        return bool(self.characteristics & SECTION_WRITE)

    @property
    def executable(self):
        return bool(self.characteristics & SECTION_EXECUTE)


@dataclass
class PeFile:
    data: bytes
    machine: int = 0
    timestamp: int = 0
    file_characteristics: int = 0
    dll_characteristics: int = 0
    directories: list = field(default_factory=list)
    sections: list = field(default_factory=list)

    def section_at(self, rva):
        for section in self.sections:
            if section.virtual_address <= rva < section.virtual_address + max(
                    section.virtual_size, section.raw_size):
                return section
        raise NotAProgram(f"address 0x{rva:x} lies in no section")

    def offset_of(self, rva):
        section = self.section_at(rva)
        return section.raw_offset + rva - section.virtual_address

    def c_string_at(self, rva):
        start = self.offset_of(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii")

    def imported_dlls(self):
        """The names of the DLLs in the import directory, in the file's order."""
        rva, size = self.directories[_IMPORT_DIRECTORY]
        names = []
        if size == 0:
            return names
        at = self.offset_of(rva)
        while True:
            lookup, _, _, name_rva, thunks = struct.unpack_from("<5I", self.data, at)
            if (lookup, name_rva, thunks) == (0, 0, 0):
                return names
            names.append(self.c_string_at(name_rva))
            at += 20

    def resource_sizes(self):
        """Bytes of resource data per resource type (a name such as "icon", or the number)."""
        rva, size = self.directories[_RESOURCE_DIRECTORY]
        sizes = {}
        if size == 0:
            return sizes
        root = self.offset_of(rva)

        def entries(directory):
            named, numbered = struct.unpack_from("<HH", self.data, directory + 12)
            for index in range(named + numbered):
                ident, target = struct.unpack_from("<II", self.data, directory + 16 + 8 * index)
                yield ident, target

        def data_bytes(target):
            if target & 0x80000000:
                return sum(data_bytes(t) for _, t in entries(root + (target & 0x7FFFFFFF)))
            _, length = struct.unpack_from("<II", self.data, root + target)
            return length

        for ident, target in entries(root):
            kind = _RESOURCE_TYPES.get(ident, str(ident)) if not ident & 0x80000000 else "named"
            sizes[kind] = sizes.get(kind, 0) + data_bytes(target)
        return sizes


def read_pe(path):
    with open(path, "rb") as stream:
        data = stream.read()
    if data[:2] != b"MZ":
        raise NotAProgram(f"{path}: no MZ header")
    (pe_offset,) = struct.unpack_from("<I", data, 0x3C)
    if data[pe_offset:pe_offset + 4] != b"PE\0\0":
        raise NotAProgram(f"{path}: no PE signature")
    coff = pe_offset + 4
    machine, section_count, timestamp, _, _, optional_size, characteristics = \
        struct.unpack_from("<HHIIIHH", data, coff)
    optional = coff + 20
    (magic,) = struct.unpack_from("<H", data, optional)
    if magic != 0x10B:
        raise NotAProgram(f"{path}: not a 32-bit (PE32) program")
    (dll_characteristics,) = struct.unpack_from("<H", data, optional + 70)
    (directory_count,) = struct.unpack_from("<I", data, optional + 92)
    directories = [struct.unpack_from("<II", data, optional + 96 + 8 * index)
                   for index in range(directory_count)]
    pe = PeFile(data, machine, timestamp, characteristics, dll_characteristics, directories)
    table = optional + optional_size
    for index in range(section_count):
        raw_name, virtual_size, virtual_address, raw_size, raw_offset = \
            struct.unpack_from("<8sIIII", data, table + 40 * index)
        (section_characteristics,) = struct.unpack_from("<I", data, table + 40 * index + 36)
        pe.sections.append(Section(raw_name.rstrip(b"\0").decode("ascii", "replace"),
                                   virtual_address, virtual_size, raw_offset, raw_size,
                                   section_characteristics))
    return pe
