// What the column entries of a well-formed table definition satisfy, so
// that a damaged entry makes the table damaged instead of being read as
// something it is not (a memo read as Null, a key cut short).
//
// The rules, each met by every table of the Access-written files the tests
// hold (Jet 3 to ACE 14) and by the project's writer:
// - the column number and, for a variable column, the variable index lie
//   below the table's column maximum (deleted columns included), and no two
//   columns share either;
// - a fixed column ends within the largest row;
// - flags that belong to one type appear on it only: AutoNumber long on Long
//   and complex columns, AutoNumber GUID on GUID, hyperlink on Memo, never
//   both AutoNumbers;
// - each known type is stored as it can be: Yes/No fixed (its value is the
//   null mask's bit), Memo, OLE and calculated columns variable, a fixed
//   column of a fixed-size type with exactly that size, a variable one with
//   at most that size (Access stores some so);
// - every column but Yes/No, Memo, OLE and calculated ones declares a size:
//   texts and binaries their largest, other types their bytes. This is also
//   the only rule an unknown type number can be held to: Access-written
//   unknown kinds (0x11, 0x46 to 0x48) all declare theirs, while a memo or
//   OLE entry whose type byte is damaged into an unknown number still
//   declares none.
//
// What the bytes cannot tell: a type byte damaged into another type of the
// same shape (Memo into OLE, Text into Binary or into an unknown number with
// the same size) still reads, as that type.
#pragma once

#include "jet/jet_format.h"
#include "jet/jet_table_definition.h"

// True when `column` alone meets the rules above, in a table whose rows
// have at most `maxColumns` columns.
bool JetColumnIsWellFormed(const JetFormat& format, const JetTableDefinition::Column& column, int maxColumns);

// True when `type` is a type number this reader knows.
bool JetColumnTypeIsKnown(int type);
