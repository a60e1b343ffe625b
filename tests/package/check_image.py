#!/usr/bin/env python3
"""What the built program asks of Windows, read from its PE image: every imported function that
takes or returns text must be a wide one, so that nothing depends on the system's code page; every
imported library one that Windows always takes from its own folder (a known DLL, or comctl32, which
the manifest binds), and the load configuration must have the libraries those import taken from
there too (DependentLoadFlags), so that nothing planted beside the program is loaded.
Usage: check_image.py EXE. Prints one line per fault and exits 1 on any."""
import re
import struct
import sys

# Imports ending in A that take no text of ours: the C runtime's and the thread library's own
# (unnamed events and semaphores, debugger output), and in the 32-bit build the unwinder's, which
# looks for a libgcc DLL already loaded by name.
ANSI_ALLOWED = {"CreateEventA", "CreateSemaphoreA", "OutputDebugStringA"}
ANSI_ALLOWED_32 = ANSI_ALLOWED | {"GetModuleHandleA", "LoadLibraryA"}

# Windows' known DLLs that a program like this one may import, and comctl32.
LIBRARIES_ALLOWED = {"kernel32.dll", "user32.dll", "gdi32.dll", "shell32.dll", "ole32.dll", "oleaut32.dll",
                     "comdlg32.dll", "advapi32.dll", "shlwapi.dll", "msvcrt.dll", "comctl32.dll"}
LOAD_LIBRARY_SEARCH_SYSTEM32 = 0x800


class Image:
    def __init__(self, data):
        self.data = data
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("not a PE image")
        sections, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
        self.optional = pe + 24
        magic = struct.unpack_from("<H", data, self.optional)[0]
        self.pe32plus = magic == 0x20B
        directories = self.optional + (112 if self.pe32plus else 96)
        self.directories = [struct.unpack_from("<II", data, directories + 8 * i) for i in range(16)]
        table = self.optional + optional_size
        self.sections = [struct.unpack_from("<8xIIII", data, table + 40 * i) for i in range(sections)]

    def offset(self, rva):
        for size, address, raw_size, raw in self.sections:
            if address <= rva < address + max(size, raw_size):
                return raw + rva - address
        raise ValueError(f"address {rva:#x} is in no section")

    def string(self, rva):
        at = self.offset(rva)
        return self.data[at:self.data.index(b"\0", at)].decode("ascii")

    def imports(self):
        """{library: [function names]} of the import directory."""
        rva = self.directories[1][0]
        found = {}
        while rva:
            lookup, _, _, name, thunks = struct.unpack_from("<IIIII", self.data, self.offset(rva))
            if name == 0:
                break
            functions = found.setdefault(self.string(name), [])
            entry, size = self.offset(lookup or thunks), 8 if self.pe32plus else 4
            ordinal = 1 << (63 if self.pe32plus else 31)
            while True:
                value = struct.unpack_from("<Q" if self.pe32plus else "<I", self.data, entry)[0]
                if value == 0:
                    break
                functions.append(f"#{value & 0xFFFF}" if value & ordinal else self.string((value & 0x7FFFFFFF) + 2))
                entry += size
            rva += 20
        return found

    def dependent_load_flags(self):
        """The load configuration's DependentLoadFlags, or None where it has none that far."""
        rva, size = self.directories[10]
        if rva == 0:
            return None
        at = self.offset(rva)
        field = 78 if self.pe32plus else 54
        declared = struct.unpack_from("<I", self.data, at)[0]
        return struct.unpack_from("<H", self.data, at + field)[0] if min(declared, size) >= field + 2 else None


def main(path):
    with open(path, "rb") as f:
        image = Image(f.read())
    faults = []
    for library, functions in sorted(image.imports().items()):
        if library.lower() not in LIBRARIES_ALLOWED:
            faults.append(f"{library}: not a known DLL; load it from the system folder when needed")
        for function in functions:
            allowed = ANSI_ALLOWED if image.pe32plus else ANSI_ALLOWED_32
            if re.search(r"[a-z0-9]A$", function) and function not in allowed:
                faults.append(f"{library}: {function} takes ANSI text; call its wide form")
    flags = image.dependent_load_flags()
    if flags is None or not flags & LOAD_LIBRARY_SEARCH_SYSTEM32:
        faults.append(f"DependentLoadFlags {flags}: the imports' own libraries may come from the program's folder")
    for fault in faults:
        print(fault)
    print(f"{path}: {'ok' if not faults else str(len(faults)) + ' fault(s)'}")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
