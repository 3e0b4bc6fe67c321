#!/usr/bin/python3
"""Prints the version resource of a Windows DLL, for check_packages.sh. Run by
Debian's python3, which has python3-pefile:

  FileVersion=...      from the string table
  ProductVersion=...
  fixed=A.B.C.D        the numeric file version
  described            when FileDescription is present and not empty
"""
import sys

import pefile

pe = pefile.PE(sys.argv[1])
strings = {}
for info in getattr(pe, "FileInfo", []):
    for entry in info:
        for table in getattr(entry, "StringTable", []):
            strings.update({k.decode(): v.decode() for k, v in table.entries.items()})
for name in ("FileVersion", "ProductVersion"):
    print("%s=%s" % (name, strings.get(name, "(missing)")))
if hasattr(pe, "VS_FIXEDFILEINFO"):
    fixed = pe.VS_FIXEDFILEINFO[0]
    print("fixed=%d.%d.%d.%d" % (fixed.FileVersionMS >> 16, fixed.FileVersionMS & 0xFFFF,
                                 fixed.FileVersionLS >> 16, fixed.FileVersionLS & 0xFFFF))
else:
    print("fixed=(missing)")
print("described" if strings.get("FileDescription", "").strip() else "no FileDescription")
