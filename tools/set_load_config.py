#!/usr/bin/env python3
"""Names the program's load configuration (app/LoadConfig.cpp, in the section .lcfg) in the image's
data directory, which GNU ld leaves empty. Usage: set_load_config.py EXE (changes it in place)."""
import struct
import sys

LOAD_CONFIG = 10  # the data directory's entry for the load configuration


def main(path):
    with open(path, "r+b") as f:
        data = bytearray(f.read())
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        sections, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
        optional = pe + 24
        pe32plus = struct.unpack_from("<H", data, optional)[0] == 0x20B
        entry = optional + (112 if pe32plus else 96) + 8 * LOAD_CONFIG
        for i in range(sections):
            at = optional + optional_size + 40 * i
            name = data[at:at + 8].rstrip(b"\0")
            _, address, _, raw = struct.unpack_from("<IIII", data, at + 8)
            if name == b".lcfg":
                size = struct.unpack_from("<I", data, raw)[0]
                struct.pack_into("<II", data, entry, address, size)
                f.seek(0)
                f.write(data)
                return 0
    sys.exit(f"set_load_config: {path} has no .lcfg section")


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
