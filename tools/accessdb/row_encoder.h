// Turns one row of values into the bytes of a table row, in two steps so that
// a bad value leaves nothing written: Prepare() converts and checks every value,
// Encode() stores the long values that leave the row and lays the row out.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tools/accessdb/byte_buffer.h"
#include "tools/accessdb/long_value_store.h"
#include "tools/accessdb/table_layout.h"
#include "tools/accessdb/text_codec.h"
#include "tools/accessdb/value.h"

namespace accessdb {

class RowEncoder {
 public:
  // Long values up to this many bytes stay in their row when the row has room
  // (and `long_values_in_row`; otherwise all go to long-value pages).
  static constexpr std::size_t kInlineLongValueLimit = 64;

  // `code_page` converts Jet 3 text (unused for Jet 4); both must outlive the encoder.
  RowEncoder(const JetFormat& format, const TableLayout& layout, std::string table_name,
             bool compress_text, bool long_values_in_row, const CodePageEncoder* code_page);

  // Throws std::invalid_argument naming table, row (1-based) and column.
  void Prepare(const std::vector<Value>& values, std::uint64_t row_number);
  // `stores` holds one store per long-value column of the layout, in order.
  const Bytes& Encode(std::vector<std::unique_ptr<LongValueStore>>& stores);

 private:
  struct Cell {
    bool present = false;  // bytes stored; the null-mask bit unless `null_bit_clear`
    bool null_bit_clear = false;  // stored bytes of a Null value (a wrapped Null calculated result)
    Bytes var;             // variable columns: stored bytes (long values: the payload)
    bool out_of_row = false;
  };

  [[noreturn]] void Fail(const ColumnLayout& c, const std::string& message) const;
  void PrepareCell(const ColumnLayout& c, const Value& v, Cell& cell);
  void EncodeText(const ColumnLayout& c, const std::string& utf8, Bytes& out);
  int TrailerSize(int data_end) const;

  const JetFormat& format_;
  const TableLayout& layout_;
  std::string table_name_;
  bool compress_text_;
  bool long_values_in_row_;
  const CodePageEncoder* code_page_;
  std::uint64_t row_number_ = 0;
  std::vector<Cell> cells_;
  Bytes fixed_;
  Bytes row_;
  // Reused from row to row: the writer adds millions of rows.
  std::u16string utf16_;
  std::vector<int> offsets_;
};

}  // namespace accessdb
