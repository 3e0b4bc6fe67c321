#!/usr/bin/env python3
"""Writes the seed corpus of database_fuzzer: make_database_seeds.py MAKE_ACCESS_DB OUTDIR

Valid files come from the project's writer (build/make-access-db): both
outline variants in Jet 3 and Jet 4, small contents and contents long enough
for long-value chains, and a table of every column type. The damaged ones are
those files with one exact piece of damage, the same as the DAO engine's
damaged-file tests apply (tests/jet/database_damage.h).
"""
import json
import os
import struct
import subprocess
import sys


def layout(b):
    """(page size, row count offset, usage-map pointer offset in a table definition)"""
    return (2048, 8, 35) if b[0x14] == 0 else (4096, 12, 55)


def row_bounds(b, page, row):
    ps, rco, _ = layout(b)
    base = page * ps
    start = struct.unpack_from('<H', b, base + rco + 2 + 2 * row)[0] & 0x1FFF
    end = ps if row == 0 else struct.unpack_from('<H', b, base + rco + 2 * row)[0] & 0x1FFF
    return base + start, base + end


def row_holding(b, offset):
    ps, rco, _ = layout(b)
    page = offset // ps
    for row in range(struct.unpack_from('<H', b, page * ps + rco)[0]):
        start, end = row_bounds(b, page, row)
        if start <= offset < end:
            return page, row, start, end
    raise ValueError('offset in no row')


def shorten(b, page, row, length):
    ps, rco, _ = layout(b)
    entry = page * ps + rco + 2 + 2 * row
    _, end = row_bounds(b, page, row)
    flags = struct.unpack_from('<H', b, entry)[0] & 0xE000
    struct.pack_into('<H', b, entry, ((end - length - page * ps) & 0x1FFF) | flags)


def chain_self_loop(b, stored_length):
    """The first part of a long-value chain made 4 bytes long, pointing at itself."""
    header = b.find(struct.pack('<I', stored_length))
    pointer = struct.unpack_from('<I', b, header + 4)[0]
    page, row = pointer >> 8, pointer & 0xFF
    shorten(b, page, row, 4)
    struct.pack_into('<I', b, row_bounds(b, page, row)[0], pointer)


def empty_catalog_map(b):
    """The catalog's usage map pointed at an emptied row: no map at all."""
    ps, _, umo = layout(b)
    page = struct.unpack_from('<I', b, 2 * ps + umo)[0] >> 8
    shorten(b, page, 1, 0)
    struct.pack_into('<I', b, 2 * ps + umo, page << 8 | 1)


def catalog_property_loop(b):
    """MSysDb's property value made a chain whose first part points at itself."""
    ps, _, _ = layout(b)
    magic = b.find(b'KKD' if ps == 2048 else b'MR2')
    if struct.unpack_from('<I', b, magic - 12)[0] >> 24 == 0x80:
        header = magic - 12
    else:
        page, row, start, end = row_holding(b, magic)
        header = b.find(struct.pack('<II', (end - start) | 0x40000000, page << 8 | row))
    page, row, start, _ = row_holding(b, b.find(b'{\\rtf1'))
    struct.pack_into('<II', b, header, 1000, page << 8 | row)
    struct.pack_into('<I', b, start, page << 8 | row)


def key_name_damaged(b):
    """A character of the node table's key column's name overwritten: salvage repairs the definition."""
    ps, _, _ = layout(b)
    at = b.find('NodeKeyValue'.encode('utf-16-le' if ps == 4096 else 'ascii'))
    b[at] = ord('X')


TYPED = {"tables": [{"name": "Typed", "columns": [
    {"name": "ID", "type": "long"}, {"name": "Title", "type": "text", "size": 50},
    {"name": "Done", "type": "boolean"}, {"name": "Body", "type": "memo"}, {"name": "Picture", "type": "ole"},
    {"name": "Tiny", "type": "byte"}, {"name": "Small", "type": "integer"}, {"name": "Price", "type": "currency"},
    {"name": "Ratio", "type": "single"}, {"name": "Exact", "type": "double"}, {"name": "When", "type": "datetime"},
    {"name": "Raw", "type": "binary", "size": 8}],
    "rows": [[7, "Caf\u00e9", True, "a memo of some length that is stored in a long-value row because it is longer "
              "than sixty-four bytes", {"base64": "AAECAw=="}, 255, -32768, "-123.4567", 0.5, 1e300,
              "1850-06-01T06:00:00", {"base64": "YQBi"}],
             [None] * 2 + [False] + [None] * 9,
             [0, "", False, "", {"base64": ""}, 0, 0, 0, 0, 0, "9999-12-31T23:59:59", {"base64": ""}]]}]}


def main():
    tool, out = sys.argv[1], sys.argv[2]
    os.makedirs(out, exist_ok=True)
    path = lambda name: os.path.join(out, name)
    outline = lambda name, *args: subprocess.run([tool, 'outline', path(name), *args], check=True)
    outline('arvoline-jet4.xtp', '--nodes', '6', '--depth', '2', '--content-bytes', '120', '--seed', '3')
    outline('arvoline-jet3.xtp', '--format', 'jet3', '--nodes', '6', '--depth', '2', '--content-bytes', '120',
            '--seed', '4')
    outline('gleanery-jet4.xrd', '--variant', 'gleanery', '--nodes', '3', '--depth', '2', '--content-bytes', '5000',
            '--seed', '5')
    outline('gleanery-jet3.xrd', '--variant', 'gleanery', '--format', 'jet3', '--nodes', '3', '--depth', '2',
            '--content-bytes', '3000', '--seed', '6')
    for fmt in ('jet4', 'jet3'):
        spec = dict(TYPED, format=fmt, codepage=1252)
        with open(path('typed.json'), 'w') as f:
            json.dump(spec, f)
        subprocess.run([tool, 'tables', path('typed.json'), path('typed-%s.mdb' % fmt)], check=True)
    os.remove(path('typed.json'))

    def damaged(source, name, damage):
        b = bytearray(open(path(source), 'rb').read())
        damage(b)
        open(path(name), 'wb').write(b)

    # Jet 4 keeps the ASCII contents compressed: two bytes more than written.
    damaged('gleanery-jet4.xrd', 'damaged-chain-self-loop-jet4.xrd', lambda b: chain_self_loop(b, 5002))
    damaged('gleanery-jet3.xrd', 'damaged-chain-self-loop-jet3.xrd', lambda b: chain_self_loop(b, 3000))
    damaged('arvoline-jet3.xtp', 'damaged-catalog-map-empty-jet3.xtp', empty_catalog_map)
    damaged('arvoline-jet4.xtp', 'damaged-catalog-map-empty-jet4.xtp', empty_catalog_map)
    damaged('gleanery-jet3.xrd', 'damaged-catalog-property-loop-jet3.xrd', catalog_property_loop)
    damaged('gleanery-jet4.xrd', 'damaged-catalog-property-loop-jet4.xrd', catalog_property_loop)
    damaged('arvoline-jet3.xtp', 'damaged-definition-name-jet3.xtp', key_name_damaged)
    damaged('arvoline-jet4.xtp', 'damaged-definition-name-jet4.xtp', key_name_damaged)
    damaged('typed-jet4.mdb', 'damaged-truncated-jet4.mdb', lambda b: b.__delitem__(slice(len(b) // 2, None)))


if __name__ == '__main__':
    main()
