#include "tools/accessdb/row_encoder.h"

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <stdexcept>

#include "tools/accessdb/date_time.h"
#include "tools/accessdb/decimal_value.h"
#include "tools/accessdb/guid_value.h"

namespace accessdb {
namespace {

// Access dates run from 0100-01-01 (-657434) to 9999-12-31 23:59:59.
constexpr double kFirstDay = -657434.0;
constexpr double kLastDay = 2958466.0;

// A calculated column stores its result behind a 16-byte header and a 4-byte
// length, followed by 3 spare bytes.
constexpr size_t kCalculatedHeader = 16;
constexpr size_t kCalculatedTrailer = 3;

void WrapCalculated(std::string_view data, Bytes& out) {
  Bytes wrapped(kCalculatedHeader, 0);
  Append32(wrapped, static_cast<std::uint32_t>(data.size()));
  wrapped.insert(wrapped.end(), data.begin(), data.end());
  wrapped.resize(wrapped.size() + kCalculatedTrailer, 0);
  out.swap(wrapped);
}

}  // namespace

RowEncoder::RowEncoder(const JetFormat& format, const TableLayout& layout, std::string table_name,
                       bool compress_text, bool long_values_in_row, const CodePageEncoder* code_page)
    : format_(format),
      layout_(layout),
      table_name_(std::move(table_name)),
      compress_text_(compress_text),
      long_values_in_row_(long_values_in_row),
      code_page_(code_page),
      cells_(layout.columns.size()),
      fixed_(static_cast<size_t>(layout.fixed_size)) {}

void RowEncoder::Fail(const ColumnLayout& c, const std::string& message) const {
  throw std::invalid_argument("table \"" + table_name_ + "\", row " + std::to_string(row_number_) +
                              ", column \"" + c.column.name + "\": " + message);
}

void RowEncoder::EncodeText(const ColumnLayout& c, const std::string& utf8, Bytes& out) {
  const bool is_text = ValueType(c.column) == ColumnType::kText;
  if (format_.jet4()) {
    std::u16string& u = utf16_;
    Utf8ToUtf16(utf8, u);
    if (is_text && u.size() > static_cast<size_t>(c.column.size)) {
      Fail(c, "text of " + std::to_string(u.size()) + " characters exceeds the column size " +
                  std::to_string(c.column.size));
    }
    // Access stores a calculated memo result's text uncompressed.
    const bool compress = compress_text_ && !(HasAccessCalculatedLayout(c.column) && !is_text);
    EncodeJet4Text(u, compress, out);
  } else {
    const std::string s = code_page_->Encode(utf8);
    if (is_text && s.size() > static_cast<size_t>(c.column.size)) {
      Fail(c, "text of " + std::to_string(s.size()) + " bytes exceeds the column size " +
                  std::to_string(c.column.size));
    }
    out.assign(s.begin(), s.end());
  }
}

void RowEncoder::PrepareCell(const ColumnLayout& c, const Value& v, Cell& cell) {
  using K = Value::Kind;
  const ColumnType t = ValueType(c.column);
  cell.present = !v.is_null();
  cell.null_bit_clear = false;
  cell.var.clear();
  cell.out_of_row = false;
  const bool calculated = c.column.calculated;
  // A calculated fixed-type value is built aside, then wrapped into the variable area.
  std::uint8_t scratch[42] = {};
  std::uint8_t* fixed = calculated ? scratch : fixed_.data() + c.fixed_offset;
  // Bytes of a fixed-type value; a calculated Decimal in Access's layout has its own.
  size_t fixed_length = t == ColumnType::kBoolean ? 1 : static_cast<size_t>(FixedSize(t));
  auto wrong_kind = [&] {
    Fail(c, std::string("a ") + ColumnTypeName(t) + " column cannot hold a " +
                ValueKindName(v.kind()) + " value");
  };
  if (v.is_null()) {
    if (t == ColumnType::kBoolean && !calculated) Fail(c, "a boolean column cannot hold null");
    if (c.column.wrap_null_results) {
      WrapCalculated({}, cell.var);
      cell.present = cell.null_bit_clear = true;
      return;
    }
    if (!c.variable) std::memset(fixed, 0, static_cast<size_t>(FixedSize(t)));
    return;
  }
  auto int_in = [&](std::int64_t lo, std::int64_t hi) {
    if (v.kind() != K::kInt) wrong_kind();
    if (v.as_int() < lo || v.as_int() > hi) {
      Fail(c, std::to_string(v.as_int()) + " is out of range for a " + ColumnTypeName(t) + " column");
    }
    return v.as_int();
  };
  auto number = [&]() -> double {
    if (v.kind() == K::kInt) return static_cast<double>(v.as_int());
    if (v.kind() != K::kDouble) wrong_kind();
    if (!std::isfinite(v.as_double())) Fail(c, "the number is not finite");
    return v.as_double();
  };
  switch (t) {
    case ColumnType::kBoolean: {
      const bool b = v.kind() == K::kBool ? v.as_bool() : int_in(0, 1) != 0;
      if (!calculated) {
        cell.present = b;  // the null-mask bit is the value
        return;
      }
      fixed[0] = b ? 0xFF : 0x00;
      break;
    }
    case ColumnType::kByte:
      fixed[0] = static_cast<std::uint8_t>(int_in(0, 255));
      break;
    case ColumnType::kInteger:
      Put16(fixed, static_cast<std::uint32_t>(int_in(-32768, 32767)));
      break;
    case ColumnType::kLong:
      Put32(fixed, static_cast<std::uint32_t>(
                       int_in(std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max())));
      break;
    case ColumnType::kComplex: {
      // The key; the values behind it go to the column's flat table (database_writer.cc).
      if (v.kind() == K::kComplex && c.column.complex_kind == ComplexKind::kKeyOnly) {
        Fail(c, "a complex column without a kind holds a key only");
      }
      const Value key = v.kind() == K::kComplex ? Value::Int(v.as_int()) : v;
      if (key.kind() != K::kInt) wrong_kind();
      if (key.as_int() < std::numeric_limits<std::int32_t>::min() || key.as_int() > std::numeric_limits<std::int32_t>::max()) {
        Fail(c, std::to_string(key.as_int()) + " is out of range for a complex column");
      }
      Put32(fixed, static_cast<std::uint32_t>(key.as_int()));
      break;
    }
    case ColumnType::kCurrency: {
      std::int64_t scaled = 0;
      const std::int64_t max_units = std::numeric_limits<std::int64_t>::max() / 10000;
      if (v.kind() == K::kCurrency) {
        scaled = v.as_int();
      } else if (v.kind() == K::kInt) {
        if (v.as_int() > max_units || v.as_int() < -max_units) Fail(c, "currency out of range");
        scaled = v.as_int() * 10000;
      } else {
        const double d = number() * 10000.0;
        if (!(std::fabs(d) < 9.2e18)) Fail(c, "currency out of range");
        scaled = std::llround(d);
      }
      Put64(fixed, static_cast<std::uint64_t>(scaled));
      break;
    }
    case ColumnType::kSingle: {
      const double d = number();
      if (std::fabs(d) > FLT_MAX) Fail(c, "the number is out of range for a single column");
      PutFloat(fixed, static_cast<float>(d));
      break;
    }
    case ColumnType::kDouble:
      PutDouble(fixed, number());
      break;
    case ColumnType::kDateTime:
      if (v.kind() != K::kDateTime) wrong_kind();
      if (!(v.as_double() > kFirstDay - 1 && v.as_double() < kLastDay)) {
        Fail(c, "date/time outside the years 100 to 9999");
      }
      PutDouble(fixed, v.as_double());
      break;
    case ColumnType::kDecimal: {
      std::string text;
      if (v.kind() == K::kInt) text = std::to_string(v.as_int());
      else if (v.kind() == K::kText) text = v.as_string();
      else wrong_kind();
      const std::string bytes = HasAccessCalculatedLayout(c.column)
                                    ? EncodeCalculatedDecimal(text)
                                    : EncodeDecimal(text, c.column.precision, c.column.scale);
      std::memcpy(fixed, bytes.data(), bytes.size());
      fixed_length = bytes.size();
      break;
    }
    case ColumnType::kGuid: {
      if (v.kind() != K::kText) wrong_kind();
      const std::string bytes = EncodeGuid(v.as_string());
      std::memcpy(fixed, bytes.data(), bytes.size());
      break;
    }
    case ColumnType::kDateTimeExtended: {
      if (v.kind() != K::kText) wrong_kind();
      const std::string bytes = EncodeExtendedDateTime(v.as_string());
      std::memcpy(fixed, bytes.data(), bytes.size());
      break;
    }
    case ColumnType::kText:
    case ColumnType::kMemo:
      if (v.kind() != K::kText) wrong_kind();
      EncodeText(c, v.as_string(), cell.var);
      break;
    case ColumnType::kBinary:
    case ColumnType::kOle:
      if (v.kind() != K::kBytes) wrong_kind();
      if (t == ColumnType::kBinary && v.as_string().size() > static_cast<size_t>(c.column.size)) {
        Fail(c, std::to_string(v.as_string().size()) + " bytes exceed the column size " +
                    std::to_string(c.column.size));
      }
      cell.var.assign(v.as_string().begin(), v.as_string().end());
      break;
  }
  if (calculated) {
    if (IsVariableLength(t)) {
      const Bytes plain = cell.var;
      WrapCalculated(View(plain), cell.var);
    } else {
      WrapCalculated(View(fixed, fixed_length), cell.var);
    }
  }
  if (IsLongValue(t) && cell.var.size() > kMaxLongValueLength) {
    Fail(c, "a long value of " + std::to_string(cell.var.size()) + " bytes exceeds 16 MB - 1");
  }
}

int RowEncoder::TrailerSize(int data_end) const {
  const int n = layout_.var_count;
  const int mask = layout_.null_mask_size();
  if (n == 0) return mask;
  if (format_.jet4()) return 2 + 2 * n + 2 + mask;
  // Jet 3: end-of-data byte, n offset bytes, the jump table, the count byte.
  int jumps = 0;
  for (;;) {
    const int length = data_end + 1 + n + jumps + 1 + mask;
    const int needed = (length - 1) / 256;
    if (needed == jumps) break;
    jumps = needed;
  }
  return 1 + n + jumps + 1 + mask;
}

void RowEncoder::Prepare(const std::vector<Value>& values, std::uint64_t row_number) {
  row_number_ = row_number;
  if (values.size() != layout_.columns.size()) {
    throw std::invalid_argument("table \"" + table_name_ + "\", row " + std::to_string(row_number) +
                                ": " + std::to_string(values.size()) + " values for " +
                                std::to_string(layout_.columns.size()) + " columns");
  }
  for (size_t i = 0; i < values.size(); ++i) {
    const ColumnLayout& c = layout_.columns[i];
    try {
      PrepareCell(c, values[i], cells_[i]);
    } catch (const std::invalid_argument& e) {
      const std::string what = e.what();
      if (what.rfind("table \"", 0) == 0) throw;
      Fail(c, what);
    }
  }
  // Long values leave the row when long or when the row has no room for them.
  const int count_size = format_.jet4() ? 2 : 1;
  int data_end = count_size + layout_.fixed_size;
  for (size_t i = 0; i < cells_.size(); ++i) {
    const ColumnType t = ValueType(layout_.columns[i].column);
    if (!cells_[i].present || !layout_.columns[i].variable) continue;
    data_end += IsLongValue(t) ? kLongValueHeaderSize : static_cast<int>(cells_[i].var.size());
  }
  if (data_end + TrailerSize(data_end) > format_.max_row_size) {
    throw std::invalid_argument("table \"" + table_name_ + "\", row " + std::to_string(row_number) +
                                ": the row needs more than " + std::to_string(format_.max_row_size) +
                                " bytes");
  }
  for (size_t i = 0; i < cells_.size(); ++i) {
    Cell& cell = cells_[i];
    if (!cell.present || !IsLongValue(ValueType(layout_.columns[i].column))) continue;
    const int size = static_cast<int>(cell.var.size());
    const bool stays = long_values_in_row_ && cell.var.size() <= kInlineLongValueLimit &&
                       data_end + size + TrailerSize(data_end + size) <= format_.max_row_size;
    cell.out_of_row = !stays;
    if (stays) data_end += size;
  }
  if (!format_.jet4() && layout_.var_count > 0) {
    // Readers use one jump entry fewer than (length - 1) / 256 at most; a trailer
    // longer than that (hundreds of columns) has no valid Jet 3 layout.
    const int jumps = (data_end + TrailerSize(data_end) - 1) / 256;
    if (jumps - data_end / 256 > 1) {
      throw std::invalid_argument("table \"" + table_name_ + "\", row " + std::to_string(row_number) +
                                  ": the row cannot be laid out in a Jet 3 file");
    }
  }
}

const Bytes& RowEncoder::Encode(std::vector<std::unique_ptr<LongValueStore>>& stores) {
  const bool jet4 = format_.jet4();
  const int n = layout_.var_count;
  row_.clear();
  if (jet4) {
    Append16(row_, static_cast<std::uint32_t>(layout_.columns.size()));
  } else {
    Append8(row_, static_cast<std::uint32_t>(layout_.columns.size()));
  }
  row_.insert(row_.end(), fixed_.begin(), fixed_.end());
  std::vector<int>& offsets = offsets_;
  offsets.assign(static_cast<size_t>(n) + 1, 0);
  for (size_t i = 0; i < cells_.size(); ++i) {
    const ColumnLayout& c = layout_.columns[i];
    if (!c.variable) continue;
    offsets[static_cast<size_t>(c.var_index)] = static_cast<int>(row_.size());
    const Cell& cell = cells_[i];
    if (!cell.present) continue;
    if (IsLongValue(ValueType(c.column))) {
      std::uint8_t header[kLongValueHeaderSize];
      if (cell.out_of_row) {
        stores[static_cast<size_t>(c.long_index)]->Write(View(cell.var), header);
      } else {
        std::memset(header, 0, sizeof header);
        Put24(header, static_cast<std::uint32_t>(cell.var.size()));
        header[3] = kLongValueInline;
      }
      row_.insert(row_.end(), header, header + kLongValueHeaderSize);
      if (cell.out_of_row) continue;
    }
    row_.insert(row_.end(), cell.var.begin(), cell.var.end());
  }
  const int data_end = static_cast<int>(row_.size());
  offsets[static_cast<size_t>(n)] = data_end;
  if (n > 0) {
    if (jet4) {
      for (int i = n; i >= 0; --i) Append16(row_, static_cast<std::uint32_t>(offsets[static_cast<size_t>(i)]));
      Append16(row_, static_cast<std::uint32_t>(n));
    } else {
      // Offsets are single bytes; the jump table says at which variable column
      // (n for the end of data) each further 256 bytes begin. Readers take
      // (length - 1) / 256 entries and drop the last one when the end of data
      // lies below that many 256-byte marks.
      const int jumps = (data_end + TrailerSize(data_end) - 1) / 256;
      const int used = data_end / 256;  // Prepare() checked that readers see this many
      for (int i = n; i >= 0; --i) Append8(row_, static_cast<std::uint32_t>(offsets[static_cast<size_t>(i)] & 0xFF));
      // Entry j: the first variable column at or past (j + 1) * 256; stored
      // last entry first. An unused last entry (jumps > used) stays 0.
      for (int j = jumps - 1; j >= 0; --j) {
        int i = 0;
        if (j < used) {
          while (offsets[static_cast<size_t>(i)] < (j + 1) * 256) ++i;
        }
        row_.push_back(static_cast<std::uint8_t>(i));
      }
      Append8(row_, static_cast<std::uint32_t>(n));
    }
  }
  const size_t mask_at = row_.size();
  row_.resize(mask_at + static_cast<size_t>(layout_.null_mask_size()), 0);
  for (size_t i = 0; i < cells_.size(); ++i) {
    if (cells_[i].present && !cells_[i].null_bit_clear) {
      const int bit = layout_.columns[i].number;
      row_[mask_at + static_cast<size_t>(bit / 8)] |= static_cast<std::uint8_t>(1u << (bit % 8));
    }
  }
  return row_;
}

}  // namespace accessdb
