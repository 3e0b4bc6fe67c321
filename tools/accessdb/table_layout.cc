#include "tools/accessdb/table_layout.h"

#include <set>
#include <stdexcept>

#include "tools/accessdb/text_codec.h"

namespace accessdb {
namespace {

// The bytes Access wraps around each calculated value (16 + 4 + 3).
constexpr int kCalculatedWrapping = 23;
// Access gives every calculated column of a fixed-length result this length:
// the wrapping around the largest fixed value (16 bytes).
constexpr int kCalculatedFixedSize = kCalculatedWrapping + 16;

std::string Lower(const std::u16string& s) {
  std::string out;
  for (char16_t c : s) {
    char16_t l = (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
    out.push_back(static_cast<char>(l & 0xFF));
    out.push_back(static_cast<char>(l >> 8));
  }
  return out;
}

}  // namespace

void CheckObjectName(const std::string& what, const std::string& name) {
  const std::u16string u = Utf8ToUtf16(name);
  if (u.empty() || u.size() > static_cast<size_t>(kMaxNameLength)) {
    throw std::invalid_argument(what + " \"" + name + "\" must have 1 to 64 characters");
  }
}

TableLayout MakeTableLayout(const JetFormat& format, const std::string& table_name,
                            const std::vector<Column>& columns) {
  const std::string where = "table \"" + table_name + "\": ";
  if (columns.empty()) throw std::invalid_argument(where + "a table needs at least one column");
  if (columns.size() > static_cast<size_t>(kMaxColumns)) {
    throw std::invalid_argument(where + "more than 255 columns");
  }
  TableLayout layout;
  std::set<std::string> names;  // Access compares names without regard to case
  for (const Column& c : columns) {
    CheckObjectName(where + "column name", c.name);
    if (!names.insert(Lower(Utf8ToUtf16(c.name))).second) {
      throw std::invalid_argument(where + "duplicate column name \"" + c.name + "\"");
    }
    ColumnLayout cl;
    cl.column = c;
    cl.number = static_cast<int>(layout.columns.size());
    const ColumnType t = c.type;
    const ColumnType values = ValueType(c);
    const bool access_layout = HasAccessCalculatedLayout(c);
    auto fail = [&](const std::string& what) {
      throw std::invalid_argument(where + "column \"" + c.name + "\": " + what);
    };
    if (c.result_type && !c.calculated) fail("only a calculated column has a result type");
    if (c.wrap_null_results && !access_layout) fail("only a calculated column with a result type wraps Null results");
    if ((values == ColumnType::kText || values == ColumnType::kBinary) && (c.size < 1 || c.size > 255)) {
      fail("size must be 1 to 255");
    }
    const bool jet4_only = t == ColumnType::kDecimal || t == ColumnType::kDateTimeExtended ||
                           t == ColumnType::kComplex || c.calculated;
    if (jet4_only && !format.jet4()) fail("not possible in a Jet 3 file");
    if (t == ColumnType::kDecimal && (c.precision < 1 || c.precision > 28 || c.scale < 0 || c.scale > c.precision)) {
      fail("precision 1 to 28, scale 0 to precision");
    }
    for (ColumnType k : {t, values}) {
      if (c.calculated && (k == ColumnType::kOle || k == ColumnType::kComplex)) {
        fail("an OLE or complex column cannot be calculated");
      }
    }
    cl.variable = IsVariableLength(t) || c.calculated;
    if (cl.variable) {
      cl.var_index = layout.var_count++;
      if (IsLongValue(values)) cl.long_index = layout.long_count++;
      if (access_layout) {
        // Access counts the wrapping in a calculated text's length; memo results have none.
        cl.stored_size = values == ColumnType::kText ? 2 * c.size + kCalculatedWrapping
                         : IsLongValue(values)      ? 0
                                                    : kCalculatedFixedSize;
      } else {
        cl.stored_size = t == ColumnType::kText && format.jet4() ? 2 * c.size
                         : IsLongValue(t)                        ? 0
                         : IsVariableLength(t)                   ? c.size
                                                                 : kCalculatedFixedSize;
      }
    } else {
      cl.fixed_offset = layout.fixed_size;
      layout.fixed_size += FixedSize(t);
      cl.stored_size = t == ColumnType::kBoolean ? 1 : FixedSize(t);
    }
    layout.columns.push_back(cl);
  }
  return layout;
}

}  // namespace accessdb
