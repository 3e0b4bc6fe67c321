#!/usr/bin/python3
"""Checks the .deb's copyright file against the source, for check_packages.sh:

  check_copyright.py COPYRIGHT LICENSE

The file must be in Debian's machine-readable format 1.0; "Files: *" must
carry LICENSE's copyright line and a licence whose stand-alone paragraph
holds LICENSE's text word for word; the Access files under
tests/data/real-access/ must be named under Apache-2.0; every licence named
must have its stand-alone paragraph; every other Files pattern must name
files of the source tree (the folder of LICENSE). Prints what is wrong; exit status 1
then.
"""
import glob
import os
import re
import sys

FORMAT = "https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/"


def paragraphs(text):
    """Each paragraph as {field: (first line, [continuation lines])}, the
    continuation lines without their leading space and " ." as empty."""
    result = []
    for block in re.split(r"\n\s*\n", text.strip("\n")):
        fields, name = {}, None
        for line in block.split("\n"):
            if line.startswith((" ", "\t")):
                rest = line[1:]
                fields[name][1].append("" if rest == "." else rest)
            else:
                name, _, value = line.partition(":")
                fields[name] = (value.strip(), [])
        result.append(fields)
    return result


def main(copyright_path, license_path):
    with open(copyright_path, encoding="utf-8") as f:
        found = paragraphs(f.read())
    with open(license_path, encoding="utf-8") as f:
        license_text = f.read()
    notice = re.search(r"^Copyright \(c\) (.+)$", license_text, re.M)
    license_body = license_text[notice.end():].strip("\n").split("\n")

    errors = []
    if found[0].get("Format", ("",))[0] != FORMAT:
        errors.append("the first paragraph lacks 'Format: %s'" % FORMAT)
    files = {p["Files"][0]: p for p in found if "Files" in p}
    licenses = {p["License"][0]: p["License"][1] for p in found if "License" in p and "Files" not in p}

    project = files.get("*")
    if not project:
        errors.append("no 'Files: *' paragraph")
    else:
        if project.get("Copyright", ("",))[0] != notice.group(1):
            errors.append("Files: * has Copyright '%s', LICENSE '%s'" % (project.get("Copyright", ("",))[0],
                                                                       notice.group(1)))
        if licenses.get(project["License"][0]) != license_body:
            errors.append("the licence paragraph '%s' is not LICENSE's text" % project["License"][0])
    access = files.get("tests/data/real-access/*")
    if not access or access["License"][0] != "Apache-2.0":
        errors.append("the files of tests/data/real-access/ are not named under Apache-2.0")
    source_root = os.path.dirname(os.path.abspath(license_path))
    for name, paragraph in files.items():
        if name != "*" and not glob.glob(os.path.join(source_root, name)):
            errors.append("'Files: %s' names no file of the source tree" % name)
        if paragraph["License"][0] not in licenses:
            errors.append("the licence of '%s' has no paragraph of its own" % name)
    for error in errors:
        print(error)
    return 1 if errors else 0


sys.exit(main(*sys.argv[1:]))
