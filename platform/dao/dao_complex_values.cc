#include "platform/dao/dao_complex_values.h"

#include "jet/jet_flat_table.h"

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
  const bool attachments = column_.daoType == kAttachmentDaoType;
  const UnicodeString separator = attachments ? u"; " : u", ";
  texts_.emplace();
  for (const JetFlatRow& row : ReadJetFlatTable(file_, column_.name, column_.flatTable, column_.flatTablePage,
                                                {attachments ? u"FileName" : u"Value"})) {
    const UnicodeString text = ItemText(row.values[0]);
    auto [it, first] = texts_->try_emplace(row.key, text);
    if (!first) it->second += separator + text;
  }
}
