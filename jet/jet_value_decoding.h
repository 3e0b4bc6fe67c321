// Decoding of the raw bytes of Access (Jet) cells, and the type codes and
// sizes under which DAO reports the columns. Pure functions over bytes, so
// the libmdb-backed server reads every value the same way and the rules can
// be tested without a file.
#pragma once

#include <cstdint>
#include <string_view>

#include "jet/jet_format.h"
#include "runtime/currency.h"
#include "runtime/unicode_string.h"
#include "runtime/variant.h"


// DAO's Field.Type for a stored column type: 1 Boolean, 2 Byte, 3 Integer,
// 4 Long, 5 Currency, 6 Single, 7 Double, 8 Date (also Date/Time Extended),
// 9 Binary, 10 Text, 11 Long binary, 12 Memo, 15 GUID, 16 BigInt, 20 Decimal;
// 0 for a type DAO does not know. Complex columns take their type from the
// catalog (MdbDatabaseFile::ComplexColumnDaoType).

int DaoFieldType(int jetType);

// DAO's Field.Size: text its length in characters (`storedSize` is the
// byte length, two bytes a character in Jet 4 and later files); binary its
// byte length; memo and long binary 0; the fixed types their byte size
// (Boolean 1).
int32_t DaoFieldSize(int jetType, int storedSize, bool jet3);

// Text of a Jet 3 file: 8-bit characters in the file's code page.
UnicodeString DecodeJet3Text(std::string_view bytes, int codePage);
// Text of a Jet 4 or ACE file: UTF-16LE, or "compressed" when it starts with
// FF FE (then each byte is one Latin-1 character and a 0x00 byte switches
// between one-byte and two-byte characters). A trailing odd byte is dropped.
UnicodeString DecodeJet4Text(std::string_view bytes);

// A Decimal cell: a sign byte (non-zero when negative) and a 128-bit
// magnitude stored as four little-endian 32-bit groups, most significant
// group first; `scale` comes from the column. Raises EOleError when the
// magnitude needs more than 96 bits (no such value fits a decimal variant).
Decimal DecodeJetDecimal(std::string_view bytes17, int scale);

// A Date/Time Extended cell: 42 ASCII bytes, of which the first 39 count:
// the days since 0001-01-01 (19 digits), ":", the seconds of the day (12
// digits) and the 100-nanosecond steps (7 digits). A date-time value when the
// day lies in years 100 to 9999 (the range of Access's Date/Time), otherwise
// the text "YYYY-MM-DD HH:MM:SS.fffffff". Raises EOleError for bytes that are
// not of that shape or name no day of years 1 to 9999.
Variant DecodeJetExtendedDateTime(std::string_view bytes);

// The value inside a calculated column's cell (Access 2010 and later): a
// 16-byte header, the value's length (4 bytes, little-endian), the value.
// A length beyond the cell is cut to the cell. Raises EOleError for a cell
// shorter than the header.
std::string_view UnwrapCalculatedValue(std::string_view cell);

// A GUID cell (16 bytes, the first three groups little-endian) as the text
// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
UnicodeString DecodeJetGuid(std::string_view bytes16);
