"""Which C runtime a Windows DLL imports, read from its PE import table.

The blocks a reader returns are allocated by the C runtime the DLL links, so
they must be freed by that runtime's free(): ucrtbase.dll for a DLL linked to
the Universal CRT (it imports the api-ms-win-crt-* sets or ucrtbase.dll),
msvcrt.dll for one linked to msvcrt.dll.
"""
import struct

_IMPORT_DIRECTORY = 1
_MAX_SECTIONS = 96  # the PE format's own limit
_MAX_IMPORTS = 4096
_MAX_NAME = 256


class NotAWindowsImage(ValueError):
    """The file is not a PE image whose import table can be read."""


def _unpack(layout, data, offset):
    size = struct.calcsize(layout)
    if offset < 0 or offset + size > len(data):
        raise NotAWindowsImage("the image ends inside its headers")
    return struct.unpack_from(layout, data, offset)


def _sections(data, table, count):
    """(virtual size, virtual address, raw size, raw offset) of each section."""
    if count > _MAX_SECTIONS:
        raise NotAWindowsImage(f"{count} sections")
    return [_unpack("<8xIIII", data, table + 40 * index) for index in range(count)]


def _file_offset(sections, rva):
    for virtual_size, address, raw_size, raw_offset in sections:
        if address <= rva < address + max(virtual_size, raw_size):
            return raw_offset + (rva - address)
    raise NotAWindowsImage(f"address {rva:#x} lies in no section")


def _name(data, offset):
    end = data.find(b"\0", offset, offset + _MAX_NAME)
    if offset >= len(data) or end < 0:
        raise NotAWindowsImage("an imported DLL's name is not terminated")
    return data[offset:end].decode("ascii", "replace")


def imported_dlls(data):
    """The DLL names in the import table of the PE image `data` (bytes), in order."""
    (pe_offset,) = _unpack("<I", data, 0x3C)
    if data[:2] != b"MZ" or data[pe_offset:pe_offset + 4] != b"PE\0\0":
        raise NotAWindowsImage("no PE signature")
    coff = pe_offset + 4
    section_count, optional_size = _unpack("<2xH12xH", data, coff)
    optional = coff + 20
    (magic,) = _unpack("<H", data, optional)
    directories = {0x10B: 96, 0x20B: 112}.get(magic)
    if directories is None:
        raise NotAWindowsImage(f"optional header magic {magic:#x}")
    (directory_count,) = _unpack("<I", data, optional + directories - 4)
    if directory_count <= _IMPORT_DIRECTORY:
        return []
    import_rva, _ = _unpack("<II", data, optional + directories + 8 * _IMPORT_DIRECTORY)
    if import_rva == 0:
        return []
    sections = _sections(data, optional + optional_size, section_count)
    descriptor = _file_offset(sections, import_rva)
    names = []
    for index in range(_MAX_IMPORTS):
        fields = _unpack("<5I", data, descriptor + 20 * index)
        if not any(fields):
            return names
        names.append(_name(data, _file_offset(sections, fields[3])))
    raise NotAWindowsImage(f"more than {_MAX_IMPORTS} imported DLLs")


def c_runtime(data):
    """The C runtime DLL that frees what the PE image `data` allocates."""
    names = [name.lower() for name in imported_dlls(data)]
    if any(name.startswith("api-ms-win-crt-") or name == "ucrtbase.dll" for name in names):
        return "ucrtbase.dll"
    if "msvcrt.dll" in names:
        return "msvcrt.dll"
    raise NotAWindowsImage(f"imports no C runtime: {', '.join(names) or 'nothing'}")


def c_runtime_of(path):
    """c_runtime() of the image in the file `path`."""
    with open(path, "rb") as image:
        return c_runtime(image.read())

