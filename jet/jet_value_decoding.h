// Decoding of the stored bytes of Access (Jet) values into the values DAO
// hands out. Pure functions over bytes, so the rules can be tested without
// a file.
#pragma once

#include <cstdint>
#include <string_view>

#include "jet/jet_format.h"
#include "jet/jet_table_definition.h"
#include "runtime/currency.h"
#include "runtime/unicode_string.h"
#include "runtime/variant.h"


// The value of `column` whose stored bytes are `bytes` (a memo or OLE
// value read whole, a calculated column's result taken out of its wrapping),
// by the column's type (a calculated column's: its result's; an empty result
// of a fixed-size kind is Null): one case per kind of value. `textCodePage` is the
// code page of a Jet 3 file's text, 0 in later files (UTF-16 text). A
// complex column gives its key (its values are the rows of another table
// that hold the key); a type number this reader does not know gives the
// stored bytes.
// Raises EJetError "The value of field '...' is damaged." when the bytes are
// too few for the type, or a text or binary value is longer than its
// column's declared size (never cut to it).
Variant DecodeJetValue(const JetTableDefinition::Column& column, std::string_view bytes, int textCodePage);

// Text of a Jet 3 file: 8-bit characters in the file's code page.
UnicodeString DecodeJet3Text(std::string_view bytes, int codePage);
// Text of a Jet 4 or ACE file: UTF-16LE, or "compressed" when it starts with
// FF FE (then each byte is one Latin-1 character and a 0x00 byte switches
// between one-byte and two-byte characters). A trailing odd byte is dropped.
UnicodeString DecodeJet4Text(std::string_view bytes);

// A Decimal cell: a sign byte (non-zero when negative) and a 128-bit
// magnitude stored as four little-endian 32-bit groups, most significant
// group first; `scale` comes from the column. Raises EJetError when the
// magnitude needs more than 96 bits (no such value fits a decimal variant).
Decimal DecodeJetDecimal(std::string_view bytes17, int scale);

// A calculated Decimal result as Access stores it (16 bytes, the layout of
// the Windows DECIMAL): 2 bytes unused, the scale (0 to 28), the sign (0x80
// negative), the magnitude's high 32 bits, then its low 64 bits. Raises
// EJetError for fewer bytes or a larger scale.
Decimal DecodeJetCalculatedDecimal(std::string_view bytes16);

// A Date/Time Extended cell: 42 ASCII bytes, of which the first 39 count:
// the days since 0001-01-01 (19 digits), ":", the seconds of the day (12
// digits) and the 100-nanosecond steps (7 digits). A date-time value when the
// day lies in years 100 to 9999 (the range of Access's Date/Time), otherwise
// the text "YYYY-MM-DD HH:MM:SS.fffffff". Raises EJetError for bytes that are
// not of that shape or name no day of years 1 to 9999.
Variant DecodeJetExtendedDateTime(std::string_view bytes);

// The value inside a calculated column's cell (Access 2010 and later): a
// 16-byte header, the value's length (4 bytes, little-endian), the value.
// Raises EJetError "Invalid calculated value." for a cell shorter than the
// header or a length beyond the cell (never cut to it).
std::string_view UnwrapCalculatedValue(std::string_view cell);

// A GUID cell (16 bytes, the first three groups little-endian) as the text
// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
UnicodeString DecodeJetGuid(std::string_view bytes16);
