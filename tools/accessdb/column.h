// Column descriptions and file formats of the Access database writer.
#pragma once

#include <optional>
#include <string>

namespace accessdb {

// Jet3: Access 97 files, 2048-byte pages, 8-bit text in one code page.
// Jet4: Access 2000-2003 files, 4096-byte pages, UCS-2 text.
enum class Format { kJet3, kJet4 };

// The column types the writer stores; the values are the type codes in the file.
enum class ColumnType : unsigned char {
  kBoolean = 0x01,   // Yes/No: lives in the row's null mask, so it can never be null
  kByte = 0x02,      // 0 to 255
  kInteger = 0x03,   // 16-bit signed
  kLong = 0x04,      // 32-bit signed
  kCurrency = 0x05,  // 64-bit signed count of ten-thousandths
  kSingle = 0x06,    // IEEE float
  kDouble = 0x07,    // IEEE double
  kDateTime = 0x08,  // double: days since 1899-12-30, fraction = time of day
  kBinary = 0x09,    // up to `size` bytes (1 to 255)
  kText = 0x0A,      // up to `size` characters (1 to 255); Jet 3: bytes of the code page
  kOle = 0x0B,       // long binary value, up to 16 MB - 1
  kMemo = 0x0C,      // long text value, up to 16 MB - 1 stored bytes
  kGuid = 0x0F,      // 16 bytes, given as "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"
  kDecimal = 0x10,   // Jet 4 only: sign byte and a 128-bit magnitude; `precision`, `scale`
  kComplex = 0x12,   // Jet 4 only: attachment / multi-value column; the cell is a 32-bit key
  kDateTimeExtended = 0x14,  // Jet 4 only: 42 ASCII bytes, years 1 to 9999, 100 ns steps
};

// What a complex column holds. kKeyOnly: the writer stores the 32-bit key
// given for each row and nothing else (callers may describe the column in
// MSysComplexColumns themselves). The other kinds are written as Access writes
// them: the column's flat table with the values behind each key, its template
// table and its row in MSysComplexColumns.
enum class ComplexKind { kKeyOnly, kMultiValue, kAttachment, kVersionHistory };

// One column of a table. `size` matters for text (characters) and binary (bytes)
// only; the writer ignores it for the other types.
struct Column {
  std::string name;  // UTF-8, 1 to 64 characters
  ColumnType type = ColumnType::kText;
  int size = 0;
  int precision = 18;  // decimal: 1 to 28 digits
  int scale = 0;       // decimal: 0 to `precision` digits after the point
  // Jet 4 only: a calculated column (Access 2010 and later); the writer stores
  // the given results, wrapped, in the variable part of the row. Every type but
  // OLE and complex.
  bool calculated = false;
  // Calculated columns: the type of the results, which Access keeps in the
  // column's ResultType property while the entry keeps `type` (Access often
  // writes another type there). Given, the column is written in Access's own
  // layout: the ResultType property, Decimal results as 16-byte DECIMAL values,
  // memo results as long values with uncompressed text, entry lengths as
  // Access sets them. Not given, the results are stored as `type` in the
  // writer's first layout (17-byte Decimal results, no properties), which
  // files of older tests still use.
  std::optional<ColumnType> result_type{};
  // Calculated columns in Access's layout: the Expression property, when not empty.
  std::string expression{};
  // Calculated columns in Access's layout: a Null result stored as a
  // zero-length wrapped value (the 23 bytes of wrapping around nothing) with
  // its null bit clear, instead of an empty cell. Both read as Null; the
  // Access-written files at hand hold no Null result to tell which form
  // Access writes, so readers are tested against both.
  bool wrap_null_results = false;
  // complex: the ComplexID under which MSysComplexColumns describes the column;
  // 0 for a column of a complex kind: the writer numbers them.
  int complex_id = 0;
  ComplexKind complex_kind = ComplexKind::kKeyOnly;
  // Multi-value columns: the values' type (byte, integer, long, single,
  // double, guid, decimal with the column's precision and scale, or text of
  // the column's size).
  ColumnType complex_value_type = ColumnType::kText;
  // Version-history columns: the name of the table's memo column whose
  // versions they keep (Access makes that memo append-only).
  std::string history_of{};
};

// "text", "memo", ... (the names TABLES.json uses); throws std::invalid_argument.
ColumnType ColumnTypeFromName(const std::string& name);
const char* ColumnTypeName(ColumnType type);

// The type of the values a column holds: a calculated column's result type
// when given, else its type.
ColumnType ValueType(const Column& column);
// A calculated column written in Access's own layout (its result type given).
bool HasAccessCalculatedLayout(const Column& column);

bool IsLongValue(ColumnType type);      // memo, ole
bool IsVariableLength(ColumnType type);  // text, binary, memo, ole (calculated columns also are)
// Bytes a fixed-length column takes in a row (0 for boolean and variable columns).
int FixedSize(ColumnType type);

}  // namespace accessdb
