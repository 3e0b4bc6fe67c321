// The definition of one table, parsed once when the table is opened: its
// row count, where its usage map lies, and its columns with their types,
// positions in the row, sizes, flags and names.
//
// A definition starts on a table-definition page and may go on over
// further pages (each named by the previous one's pointer at byte 4; their
// bytes count from byte 8 on). Its layout, after a header that differs
// between the formats (jet_format.h): one entry per real index, one entry
// per column, then each column's name (a length and the name's bytes: the
// file's code page in Jet 3, UTF-16 in Jet 4).
//
// A value type: the parse copies what it needs; nothing refers to the file.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "jet/jet_format.h"
#include "runtime/unicode_string.h"

class JetTableDefinition {
 public:
  struct Column {
    UnicodeString name;
    int type = 0;           // JetColumnType, or a number this reader does not know
    int number = 0;         // the column's bit in a row's null mask
    bool fixed = false;     // in the fixed-length part of a row, else in its variable part
    int variableIndex = 0;  // variable columns: the entry in a row's table of offsets
    int fixedOffset = 0;    // fixed columns: from the end of a row's column count
    int size = 0;           // the declared size in bytes (text: 2 a character in Jet 4)
    uint8_t flags = 0;      // kJetColumnFixed, kJetColumnAutoLong, ...
    uint8_t extraFlags = 0; // Jet 4 only: kJetColumnCompressedText, kJetColumnCalculated
    int precision = 0;      // Decimal columns
    int scale = 0;          // Decimal columns
    int32_t complexId = 0;  // complex columns: their ComplexID in MSysComplexColumns
    bool calculated = false;
    // Calculated columns: the type of the stored result. Access keeps it in
    // the column's ResultType property (JetTableCursor reads it), the entry
    // often holding another type; without the property, the entry's type.
    int resultType = 0;
    bool resultTypeFromProperty = false;  // and the result stored in Access's layouts

    // The type of the values the column's cells hold.
    int ValueType() const { return calculated ? resultType : type; }
  };

  // Parses a definition whose pages are joined (the first page whole, each
  // further page from byte 8 on). `codePage` reads the column names of a
  // Jet 3 file. Raises EJetError "The definition of the table is damaged."
  // when an entry or a name lies beyond the bytes, and "The definition of
  // column '...' is damaged." when a column entry is one no well-formed file
  // holds (jet_column_rules.h).
  JetTableDefinition(const JetFormat& format, std::string_view bytes, int codePage);

  // Reads the definition that starts on `firstPage`. `readPage` fills its
  // argument with one whole page and answers false when it cannot; a page
  // that cannot be read, is not a table definition or comes round again
  // makes the definition damaged (EJetError).
  using PageReader = std::function<bool(uint32_t page, std::string& bytes)>;
  static JetTableDefinition Read(const JetFormat& format, uint32_t firstPage, int codePage,
                                 const PageReader& readPage);

  // The fields of one column entry (columnEntrySize bytes) as stored,
  // unchecked; the name is left empty.
  static Column ReadColumnEntry(const JetFormat& format, std::string_view entry);

  // A definition of `columns` alone, put in number order, for reading some
  // columns of a table whose own definition is damaged
  // (jet_definition_repair.h). Row count and usage map are unknown (0).
  static JetTableDefinition OfColumns(std::vector<Column> columns, int maxColumns);

  // Columns in the order of their numbers (the order of a row's null mask),
  // which is the order a table's fields are listed in.
  const std::vector<Column>& Columns() const { return columns_; }
  // The row count the definition records.
  uint32_t RowCount() const { return rowCount_; }
  // The columns a row may have, deleted ones included.
  int MaxColumns() const { return maxColumns_; }
  int VariableColumnCount() const { return variableColumns_; }
  // The pointer (page and row) of the usage map that lists the table's pages.
  uint32_t UsedPagesMap() const { return usedPagesMap_; }

  // Records the result type a calculated column's ResultType property holds.
  // Raises EJetError "The definition of column '...' is damaged." when the
  // column is not calculated or `type` is no type a result can have.
  void SetResultType(size_t column, int type);

 private:
  JetTableDefinition() = default;
  // Parses `bytes`, which `need(n)` extends to at least n bytes when it can.
  static JetTableDefinition Parse(const JetFormat& format, const std::string& bytes,
                                  const std::function<bool(size_t)>& need, int codePage);

  std::vector<Column> columns_;
  uint32_t rowCount_ = 0;
  int maxColumns_ = 0;
  int variableColumns_ = 0;
  uint32_t usedPagesMap_ = 0;
};
