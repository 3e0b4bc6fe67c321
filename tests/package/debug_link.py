#!/usr/bin/python3
"""Prints the debug link of a Windows DLL, for check_packages.sh: the file
name and the CRC-32 recorded in its .gnu_debuglink section, as

  NAME CRC

(CRC as 8 hexadecimal digits), or "no debug link". Run by Debian's python3,
which has python3-pefile.
"""
import sys

import pefile


def section_name(pe, image, section):
    """A name longer than 8 bytes is "/N": offset N into the COFF string
    table, which follows the symbol table."""
    name = section.Name.rstrip(b"\0")
    if not name.startswith(b"/"):
        return name
    table = pe.FILE_HEADER.PointerToSymbolTable + 18 * pe.FILE_HEADER.NumberOfSymbols
    at = table + int(name[1:])
    return image[at:image.index(b"\0", at)]


with open(sys.argv[1], "rb") as f:
    image = f.read()
pe = pefile.PE(data=image)
for section in pe.sections:
    if section_name(pe, image, section) == b".gnu_debuglink":
        data = section.get_data()
        # The name, zero-terminated and padded to a multiple of 4, then the
        # CRC-32 of the debug file, little-endian.
        name = data.split(b"\0", 1)[0]
        at = (len(name) + 1 + 3) // 4 * 4
        print("%s %08x" % (name.decode(), int.from_bytes(data[at:at + 4], "little")))
        break
else:
    print("no debug link")
