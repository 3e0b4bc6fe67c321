#include "tools/accessdb/json_tables.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <memory>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <vector>

#include "tools/accessdb/database_writer.h"
#include "tools/accessdb/date_time.h"

namespace accessdb {
namespace {

// "ace2007" ... "ace2019": the version byte of an Access 2007-2019 file; 0 otherwise.
int AceVersion(const std::string& name) {
  static const char* const kNames[] = {"ace2007", "ace2010", "ace2013", "ace2016", "ace2019"};
  for (int i = 0; i < 5; ++i)
    if (name == kNames[i]) return i + 2;
  return 0;
}

using json = nlohmann::json;

// Builds one JSON value from parser events. Floating-point numbers are kept as
// their original text (as a binary value, which no JSON text can produce), so
// that currency values stay exact.
class ValueBuilder {
 public:
  void Scalar(json v) {
    if (stack_.empty()) {
      root_ = std::move(v);
    } else if (stack_.back()->is_array()) {
      stack_.back()->push_back(std::move(v));
    } else {
      (*stack_.back())[key_] = std::move(v);
    }
  }
  void Open(json container) {
    Scalar(std::move(container));
    json* added = stack_.empty() ? &root_
                  : stack_.back()->is_array() ? &stack_.back()->back()
                                              : &(*stack_.back())[key_];
    stack_.push_back(added);
  }
  void Close() { stack_.pop_back(); }
  void Key(const std::string& k) { key_ = k; }
  bool done() const { return stack_.empty(); }
  json& root() { return root_; }
  void Reset() {
    root_ = json();
    stack_.clear();
  }

 private:
  json root_;
  std::vector<json*> stack_;
  std::string key_;
};

struct PendingTable {
  std::vector<json> rows;  // rows seen before the table could begin
  bool begun = false;
  bool closed = false;  // its JSON object has ended
  std::vector<Column> columns;
};

class TablesHandler {
 public:
  explicit TablesHandler(std::string out_path) : out_path_(std::move(out_path)) {}

  // nlohmann::json SAX interface.
  bool null() { return Scalar(json()); }
  bool boolean(bool b) { return Scalar(json(b)); }
  bool number_integer(json::number_integer_t i) { return Scalar(json(i)); }
  bool number_unsigned(json::number_unsigned_t u) { return Scalar(json(u)); }
  bool number_float(json::number_float_t, const std::string& raw) {
    return Scalar(json::binary(std::vector<std::uint8_t>(raw.begin(), raw.end())));
  }
  bool string(std::string& s) { return Scalar(json(s)); }
  bool binary(json::binary_t&) { return Fail("unexpected binary value"); }
  bool start_object(std::size_t) { return Open(json::object(), false); }
  bool start_array(std::size_t) { return Open(json::array(), true); }
  bool end_object() { return Close(); }
  bool end_array() { return Close(); }
  bool key(std::string& k) {
    path_.back().key = k;
    Builder().Key(k);
    return true;
  }
  bool parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception& e) {
    throw std::invalid_argument("TABLES.json at byte " + std::to_string(position) + ": " + e.what());
  }

  void Finish() {
    const json& doc = doc_.root();
    if (!doc.is_object()) Fail("the top level must be an object");
    if (!doc.contains("tables") || !doc["tables"].is_array()) Fail("\"tables\" must be a list");
    EnsureWriter(true);
    Drain(true);
    writer_->Finish();
  }

 private:
  struct Level {
    bool array;
    std::string key;   // objects: the last key
    std::size_t index = 0;  // arrays: elements so far
  };

  ValueBuilder& Builder() { return in_row_ ? row_ : doc_; }

  // Where the parser stands: tables[i].rows[j] is depth 5 inside the row array.
  bool AtRowsList() const {
    return path_.size() == 4 && !path_[0].array && path_[0].key == "tables" && path_[1].array &&
           !path_[2].array && path_[2].key == "rows" && path_[3].array;
  }
  std::size_t TableIndex() const { return path_[1].index; }

  bool Scalar(json v) {
    if (AtRowsList() && !in_row_) return Fail("a row must be a list of cells");
    Builder().Scalar(std::move(v));
    if (!path_.empty() && path_.back().array) ++path_.back().index;
    return true;
  }

  bool Open(json container, bool is_array) {
    if (AtRowsList() && !in_row_) {
      if (!is_array) return Fail("a row must be a list of cells");
      in_row_ = true;
      row_.Reset();
    }
    Builder().Open(std::move(container));
    path_.push_back({is_array, "", 0});
    return true;
  }

  bool Close() {
    Builder().Close();
    path_.pop_back();
    if (!path_.empty() && path_.back().array) ++path_.back().index;
    if (in_row_ && row_.done()) {
      in_row_ = false;
      Row(TableIndex(), std::move(row_.root()));
    } else if (!in_row_ && path_.size() == 2 && !path_[0].array && path_[0].key == "tables") {
      TableClosed(path_[1].index - 1);
    }
    return true;
  }

  bool Fail(const std::string& message) { throw std::invalid_argument("TABLES.json: " + message); }

  json& TableJson(std::size_t i) { return doc_.root()["tables"][i]; }

  // The writer exists once "format" and "codepage" are known; at the end of the
  // input, missing ones take their defaults.
  bool EnsureWriter(bool at_end) {
    if (writer_) return true;
    const json& doc = doc_.root();
    if (!at_end && (!doc.contains("format") || !doc.contains("codepage"))) return false;
    DatabaseOptions options;
    if (doc.contains("format")) {
      const json& f = doc["format"];
      if (f == "jet4") {
        options.format = Format::kJet4;
      } else if (f == "jet3") {
        options.format = Format::kJet3;
      } else if (f.is_string() && AceVersion(f.get<std::string>()) != 0) {
        options.ace_version = AceVersion(f.get<std::string>());
      } else {
        Fail("\"format\" must be \"jet3\", \"jet4\" or \"ace2007\" to \"ace2019\"");
      }
    }
    if (doc.contains("codepage")) {
      if (!doc["codepage"].is_number_integer()) Fail("\"codepage\" must be an integer");
      options.code_page = doc["codepage"].get<int>();
    }
    writer_ = std::make_unique<DatabaseWriter>(out_path_, options);
    return true;
  }

  // Writes what can be written, table by table in their order: a table begins
  // once the writer exists and its name and columns are known, and ends once
  // its JSON object has closed.
  void Drain(bool at_end) {
    while (next_table_ < pending_.size()) {
      const std::size_t i = next_table_;
      PendingTable& p = pending_[i];
      if (!p.begun) {
        json& t = TableJson(i);
        if (!t.contains("name") || !t.contains("columns")) {
          if (p.closed || at_end) Fail("table " + std::to_string(i + 1) + " needs \"name\" and \"columns\"");
          return;
        }
        if (!EnsureWriter(at_end)) return;
        Begin(i);
      }
      for (json& row : p.rows) WriteRow(i, row);
      p.rows.clear();
      p.rows.shrink_to_fit();
      if (!p.closed) return;
      writer_->EndTable();
      ++next_table_;
    }
  }

  void Begin(std::size_t i) {
    PendingTable& p = pending_[i];
    json& t = TableJson(i);
    const std::string where = "table " + std::to_string(i + 1);
    if (!t["name"].is_string()) Fail(where + ": \"name\" must be a string");
    if (!t["columns"].is_array()) Fail(where + ": \"columns\" must be a list");
    for (const json& c : t["columns"]) {
      if (!c.is_object() || !c.contains("name") || !c["name"].is_string() || !c.contains("type") ||
          !c["type"].is_string()) {
        Fail(where + ": each column needs a \"name\" and a \"type\"");
      }
      Column col;
      col.name = c["name"].get<std::string>();
      col.type = ColumnTypeFromName(c["type"].get<std::string>());
      for (auto [key, slot] : {std::pair<const char*, int*>{"size", &col.size}, {"precision", &col.precision},
                               {"scale", &col.scale}, {"complex_id", &col.complex_id}}) {
        if (!c.contains(key)) continue;
        if (!c[key].is_number_integer()) Fail(where + ": \"" + key + "\" must be an integer");
        *slot = c[key].get<int>();
      }
      if (c.contains("calculated")) {
        if (!c["calculated"].is_boolean()) Fail(where + ": \"calculated\" must be true or false");
        col.calculated = c["calculated"].get<bool>();
      }
      if (c.contains("result_type")) {
        if (!c["result_type"].is_string()) Fail(where + ": \"result_type\" must be a type name");
        col.result_type = ColumnTypeFromName(c["result_type"].get<std::string>());
      }
      if (c.contains("expression")) {
        if (!c["expression"].is_string()) Fail(where + ": \"expression\" must be a string");
        col.expression = c["expression"].get<std::string>();
      }
      if (c.contains("complex_kind")) {
        if (!c["complex_kind"].is_string()) Fail(where + ": \"complex_kind\" must be a string");
        const std::string kind = c["complex_kind"].get<std::string>();
        if (kind == "attachment") {
          col.complex_kind = ComplexKind::kAttachment;
        } else if (kind == "version-history") {
          col.complex_kind = ComplexKind::kVersionHistory;
        } else {
          col.complex_kind = ComplexKind::kMultiValue;
          col.complex_value_type = ColumnTypeFromName(kind);
        }
      }
      if (c.contains("history_of")) {
        if (!c["history_of"].is_string()) Fail(where + ": \"history_of\" must be a string");
        col.history_of = c["history_of"].get<std::string>();
      }
      p.columns.push_back(col);
    }
    writer_->BeginTable(t["name"].get<std::string>(), p.columns);
    p.begun = true;
  }

  void Row(std::size_t i, json row) {
    Pending(i).rows.push_back(std::move(row));
    if (i == next_table_) Drain(false);
  }

  void TableClosed(std::size_t i) {
    Pending(i).closed = true;
    Drain(false);
  }

  PendingTable& Pending(std::size_t i) {
    if (pending_.size() <= i) pending_.resize(i + 1);
    return pending_[i];
  }

  void WriteRow(std::size_t i, const json& row) {
    const std::vector<Column>& columns = pending_[i].columns;
    std::vector<Value> values;
    values.reserve(row.size());
    for (std::size_t c = 0; c < row.size(); ++c) {
      const Column column = c < columns.size() ? columns[c] : Column{};
      try {
        values.push_back(column.type == ColumnType::kComplex ? ComplexCell(column, row[c])
                                                             : CellValue(ValueType(column), row[c]));
      } catch (const std::invalid_argument& e) {
        const std::string column = c < columns.size() ? columns[c].name : std::to_string(c + 1);
        Fail("table \"" + TableJson(i)["name"].get<std::string>() + "\", row " +
             std::to_string(writer_->rows_in_table() + 1) + ", column \"" + column + "\": " + e.what());
      }
    }
    writer_->AddRow(values);
  }

  // A complex cell: its key, or {"complex_key": n, and "values", "attachments"
  // or "versions"} as the column's kind has them.
  static Value ComplexCell(const Column& column, const json& cell) {
    if (!cell.is_object()) return CellValue(ColumnType::kComplex, cell);
    if (!cell.contains("complex_key")) throw std::invalid_argument("a complex cell needs \"complex_key\"");
    const Value key = CellValue(ColumnType::kComplex, cell["complex_key"]);
    auto list = [&](const char* name) -> const json& {
      static const json kNone = json::array();
      if (!cell.contains(name)) return kNone;
      if (!cell[name].is_array()) throw std::invalid_argument(std::string("\"") + name + "\" must be a list");
      return cell[name];
    };
    auto text = [](const json& item, const char* name) {
      if (!item.is_object() || !item.contains(name) || !item[name].is_string()) {
        throw std::invalid_argument(std::string("expected \"") + name + "\" as a string");
      }
      return item[name].get<std::string>();
    };
    ComplexItems items;
    for (const json& v : list("values")) items.values.push_back(CellValue(column.complex_value_type, v));
    for (const json& a : list("attachments")) {
      if (!a.contains("data")) throw std::invalid_argument("an attachment needs \"data\"");
      items.attachments.push_back({text(a, "name"), text(a, "type"), CellValue(ColumnType::kOle, a["data"]).as_string()});
    }
    for (const json& v : list("versions")) items.versions.push_back({text(v, "value"), ParseDateTime(text(v, "modified"))});
    return Value::Complex(key.as_int(), std::move(items));
  }

  static Value CellValue(ColumnType type, const json& cell) {
    if (cell.is_null()) return Value();
    const bool is_float = cell.is_binary();
    const std::string raw = is_float ? std::string(cell.get_binary().begin(), cell.get_binary().end()) : "";
    switch (type) {
      case ColumnType::kBoolean:
        if (!cell.is_boolean()) throw std::invalid_argument("expected true or false");
        return Value::Bool(cell.get<bool>());
      case ColumnType::kByte:
      case ColumnType::kInteger:
      case ColumnType::kLong:
      case ColumnType::kComplex:
        if (cell.is_number_unsigned() && cell.get<std::uint64_t>() > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
          throw std::invalid_argument(cell.dump() + " is out of range");
        }
        if (!cell.is_number_integer()) throw std::invalid_argument("expected a whole number");
        return Value::Int(cell.get<std::int64_t>());
      case ColumnType::kCurrency:
        if (is_float && raw.find_first_of("eE") != std::string::npos) {
          return Value::Double(std::strtod(raw.c_str(), nullptr));  // exponent form: rounded
        }
        if (is_float || cell.is_string()) return Value::Currency(ParseCurrency(is_float ? raw : cell.get<std::string>()));
        if (cell.is_number_integer() && !(cell.is_number_unsigned() && cell.get<std::uint64_t>() > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))) {
          return Value::Int(cell.get<std::int64_t>());
        }
        throw std::invalid_argument("expected a number");
      case ColumnType::kSingle:
      case ColumnType::kDouble:
        if (is_float) return Value::Double(std::strtod(raw.c_str(), nullptr));
        if (cell.is_number_unsigned()) return Value::Double(static_cast<double>(cell.get<std::uint64_t>()));
        if (cell.is_number_integer()) return Value::Double(static_cast<double>(cell.get<std::int64_t>()));
        throw std::invalid_argument("expected a number");
      case ColumnType::kDateTime:
        if (!cell.is_string()) throw std::invalid_argument("expected \"YYYY-MM-DDTHH:MM:SS\"");
        return Value::DateTime(ParseDateTime(cell.get<std::string>()));
      case ColumnType::kDecimal:
        if (is_float) return Value::Text(raw);
        if (cell.is_number_integer() || cell.is_number_unsigned()) return Value::Text(cell.dump());
        if (!cell.is_string()) throw std::invalid_argument("expected a decimal number");
        return Value::Text(cell.get<std::string>());
      case ColumnType::kDateTimeExtended:
        if (!cell.is_string()) throw std::invalid_argument("expected \"YYYY-MM-DDTHH:MM:SS[.fffffff]\"");
        return Value::Text(cell.get<std::string>());
      case ColumnType::kGuid:
        if (!cell.is_string()) throw std::invalid_argument("expected \"{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}\"");
        return Value::Text(cell.get<std::string>());
      case ColumnType::kText:
      case ColumnType::kMemo:
        if (!cell.is_string()) throw std::invalid_argument("expected a string");
        return Value::Text(cell.get<std::string>());
      case ColumnType::kBinary:
      case ColumnType::kOle:
        if (!cell.is_object() || cell.size() != 1 || !cell.contains("base64") || !cell["base64"].is_string()) {
          throw std::invalid_argument("expected {\"base64\": \"...\"}");
        }
        return Value::Bytes(DecodeBase64(cell["base64"].get<std::string>()));
    }
    throw std::invalid_argument("unknown column type");
  }

  std::string out_path_;
  std::unique_ptr<DatabaseWriter> writer_;
  ValueBuilder doc_, row_;
  bool in_row_ = false;
  std::vector<Level> path_;
  std::vector<PendingTable> pending_;
  std::size_t next_table_ = 0;  // the first table not yet ended in the file
};

}  // namespace

std::string DecodeBase64(const std::string& text) {
  auto digit = [](char c) -> int {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
  };
  std::size_t end = text.size();
  while (end > 0 && text[end - 1] == '=' && text.size() - end < 2) --end;
  if (end % 4 == 1 || (text.size() != end && text.size() % 4 != 0)) {
    throw std::invalid_argument("malformed base64");
  }
  std::string out;
  out.reserve(end / 4 * 3 + 2);
  std::uint32_t acc = 0;
  int bits = 0;
  for (std::size_t i = 0; i < end; ++i) {
    const int d = digit(text[i]);
    if (d < 0) throw std::invalid_argument("malformed base64");
    acc = (acc << 6) | static_cast<std::uint32_t>(d);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out.push_back(static_cast<char>((acc >> bits) & 0xFF));
    }
  }
  return out;
}

std::int64_t ParseCurrency(const std::string& text) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  // Accumulate as a negative number so that the minimum value fits.
  std::int64_t value = 0;
  int decimals = -1;
  bool digits = false;
  const std::int64_t min = std::numeric_limits<std::int64_t>::min();
  auto push = [&](int d) {
    if (value < (min + d) / 10) throw std::invalid_argument("currency out of range: " + text);
    value = value * 10 - d;
  };
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '.' && decimals < 0) {
      decimals = 0;
    } else if (c >= '0' && c <= '9') {
      digits = true;
      if (decimals >= 0 && ++decimals > 4) {
        if (c != '0') throw std::invalid_argument("currency has more than four decimals: " + text);
        continue;
      }
      push(c - '0');
    } else {
      throw std::invalid_argument("not a decimal number: " + text);
    }
  }
  if (!digits) throw std::invalid_argument("not a decimal number: " + text);
  for (int d = decimals < 0 ? 0 : std::min(decimals, 4); d < 4; ++d) push(0);
  if (!negative) {
    if (value == min) throw std::invalid_argument("currency out of range: " + text);
    value = -value;
  }
  return value;
}

void WriteTablesJson(std::istream& in, const std::string& out_path) {
  TablesHandler handler(out_path);
  nlohmann::json::sax_parse(in, &handler);
  handler.Finish();
}

}  // namespace accessdb
