#include "platform/dao/dao_complex_values.h"

#include <algorithm>
#include <tuple>
#include <vector>

#include "jet/jet_error.h"
#include "jet/jet_table_cursor.h"

namespace {

constexpr int kAttachmentDaoType = 101;

// The text of one value of a multi-value list.
UnicodeString ItemText(const Variant& v) {
  if (v.Type() != VarType::ByteArray) return v.ToString();
  static const char16_t kHex[] = u"0123456789ABCDEF";
  UnicodeString hex;
  for (uint8_t b : v.AsBytes()) {
    hex.push_back(kHex[b >> 4]);
    hex.push_back(kHex[b & 15]);
  }
  return hex;
}

}  // namespace

DaoComplexValues::DaoComplexValues(std::shared_ptr<const JetFile> file, DaoComplexColumnTypes::Column column)
    : file_(std::move(file)), column_(std::move(column)) {}

Variant DaoComplexValues::ValueOf(int32_t key) {
  if (column_.flatTable.empty()) return Variant::Null();
  if (!texts_) Load();
  auto it = texts_->find(key);
  return it == texts_->end() ? Variant::Null() : Variant(it->second);
}

void DaoComplexValues::Load() {
  JetTableCursor cursor(file_, column_.flatTable, column_.flatTablePage);
  const bool attachments = column_.daoType == kAttachmentDaoType;
  // The flat table's columns: the owning row's key ("_" and the column's
  // name), the value's own AutoNumber id (the order of the values), and the
  // value or the attachment's file name.
  const int keyColumn = cursor.ColumnIndex(u"_" + column_.name);
  const int valueColumn = cursor.ColumnIndex(attachments ? u"FileName" : u"Value");
  int idColumn = -1;
  const auto& columns = cursor.Columns();
  for (size_t i = 0; i < columns.size(); ++i)
    if (static_cast<int>(i) != keyColumn && columns[i].type == kJetLong && (columns[i].flags & kJetColumnAutoLong))
      idColumn = static_cast<int>(i);
  if (keyColumn < 0 || valueColumn < 0)
    throw EJetError(FormatText(u"The values of column '%s' are damaged: table '%s' lacks their columns.",
                               {column_.name, column_.flatTable}));
  std::vector<std::tuple<int32_t, int64_t, UnicodeString>> values;  // key, id, text
  for (bool more = cursor.MoveFirst(); more; more = cursor.MoveNext()) {
    const Variant key = cursor.Value(static_cast<size_t>(keyColumn));
    if (key.IsNull()) continue;
    const int64_t id = idColumn < 0 ? static_cast<int64_t>(values.size()) : cursor.Value(static_cast<size_t>(idColumn)).ToInt64();
    values.emplace_back(key.ToInt32(), id, ItemText(cursor.Value(static_cast<size_t>(valueColumn))));
  }
  std::stable_sort(values.begin(), values.end(), [](const auto& a, const auto& b) {
    return std::tie(std::get<0>(a), std::get<1>(a)) < std::tie(std::get<0>(b), std::get<1>(b));
  });
  const UnicodeString separator = attachments ? u"; " : u", ";
  texts_.emplace();
  for (auto& [key, id, text] : values) {
    auto [it, first] = texts_->try_emplace(key, std::move(text));
    if (!first) it->second += separator + text;
  }
}
