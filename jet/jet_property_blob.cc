#include "jet/jet_property_blob.h"

#include "jet/jet_error.h"
#include "jet/jet_format.h"
#include "jet/jet_value_decoding.h"

namespace {

constexpr uint16_t kNamesChunk = 0x80;
constexpr uint16_t kObjectBlock = 0x00;
constexpr uint16_t kColumnBlock = 0x01;
constexpr size_t kChunkHeader = 6;   // length, kind
constexpr size_t kBlockHeader = 6;   // header length, name length
constexpr size_t kRecordHeader = 8;  // length, DDL flag, data type, name index, value length

}  // namespace

JetPropertyBlob::JetPropertyBlob(std::string_view bytes, int codePage, const UnicodeString& table) {
  auto damaged = [&] { return EJetError(FormatText(u"The properties of table '%s' are damaged.", {table})); };
  auto name = [&](std::string_view b) { return codePage != 0 ? DecodeJet3Text(b, codePage) : DecodeJet4Text(b); };
  if (bytes.size() < 4 || (bytes.substr(0, 4) != std::string_view("MR2\0", 4) &&
                           bytes.substr(0, 4) != std::string_view("KKD\0", 4)))
    throw damaged();
  for (size_t chunk = 4; chunk < bytes.size();) {
    if (bytes.size() - chunk < kChunkHeader) throw damaged();
    const size_t length = JetReadLE<uint32_t>(bytes, chunk);
    const uint16_t kind = JetReadLE<uint16_t>(bytes, chunk + 4);
    if (length < kChunkHeader || length > bytes.size() - chunk) throw damaged();
    const std::string_view body = bytes.substr(chunk + kChunkHeader, length - kChunkHeader);
    chunk += length;
    if (kind == kNamesChunk) {
      for (size_t at = 0; at < body.size();) {
        if (body.size() - at < 2) throw damaged();
        const size_t size = JetReadLE<uint16_t>(body, at);
        if (size > body.size() - at - 2) throw damaged();
        names_.push_back(name(body.substr(at + 2, size)));
        at += 2 + size;
      }
      continue;
    }
    if (kind != kObjectBlock && kind != kColumnBlock) continue;
    if (body.size() < kBlockHeader) throw damaged();
    const size_t header = JetReadLE<uint32_t>(body, 0);
    const size_t nameSize = JetReadLE<uint16_t>(body, 4);
    if (header < kBlockHeader + nameSize || header > body.size()) throw damaged();
    const UnicodeString column = name(body.substr(kBlockHeader, nameSize));
    for (size_t at = header; at < body.size();) {
      if (body.size() - at < kRecordHeader) throw damaged();
      const size_t record = JetReadLE<uint16_t>(body, at);
      const size_t index = JetReadLE<uint16_t>(body, at + 4);
      const size_t valueSize = JetReadLE<uint16_t>(body, at + 6);
      if (record < kRecordHeader + valueSize || record > body.size() - at || index >= names_.size()) throw damaged();
      properties_.push_back(Property{column, index, std::string(body.substr(at + kRecordHeader, valueSize))});
      at += record;
    }
  }
}

const std::string* JetPropertyBlob::Find(UnicodeStringView column, UnicodeStringView property) const {
  for (const Property& p : properties_)
    if (SameText(p.column, column) && SameText(names_[p.name], property)) return &p.value;
  return nullptr;
}
