// The type codes and sizes under which DAO reports a table's fields.
#pragma once

#include <cstdint>

// DAO's Field.Type for a stored column type: 1 Boolean, 2 Byte, 3 Integer,
// 4 Long, 5 Currency, 6 Single, 7 Double, 8 Date (also Date/Time Extended),
// 9 Binary, 10 Text, 11 Long binary, 12 Memo, 15 GUID, 16 BigInt, 20 Decimal;
// 0 for a type DAO does not know. Complex columns take their type from the
// catalog (dao_complex_column_types.h).
int DaoFieldType(int jetType);

// DAO's Field.Size: text its length in characters (`storedSize` is the
// byte length, two bytes a character in Jet 4 and later files); binary its
// byte length; memo and long binary 0; the fixed types their byte size
// (Boolean 1).
int32_t DaoFieldSize(int jetType, int storedSize, bool jet3);
