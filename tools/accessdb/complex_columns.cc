#include "tools/accessdb/complex_columns.h"

#include <zlib.h>

#include <cstdio>
#include <stdexcept>

#include "tools/accessdb/byte_buffer.h"
#include "tools/accessdb/jet_format.h"
#include "tools/accessdb/text_codec.h"

namespace accessdb {
namespace {

using T = ColumnType;

// The template table of each multi-value kind, by the values' type.
struct MultiValueKind {
  ColumnType type;
  const char* template_name;
};
constexpr MultiValueKind kMultiValueKinds[] = {
    {T::kByte, "MSysComplexType_UnsignedByte"}, {T::kInteger, "MSysComplexType_Short"},
    {T::kLong, "MSysComplexType_Long"},         {T::kSingle, "MSysComplexType_IEEESingle"},
    {T::kDouble, "MSysComplexType_IEEEDouble"}, {T::kGuid, "MSysComplexType_GUID"},
    {T::kDecimal, "MSysComplexType_Decimal"},   {T::kText, "MSysComplexType_Text"},
};

constexpr const char* kModifiedColumn = "Modified_F9B5E312-4155-4c59-9AAE-391C1B295827";
constexpr int kAttachmentCompression = 5;  // the level whose output equals Access's

std::string Hex32(int complex_id) {
  char digits[40];
  std::snprintf(digits, sizeof digits, "%032X", static_cast<unsigned>(complex_id));
  return digits;
}

// Names are limited to 64 UTF-16 units; Access cuts longer generated names.
std::string CutName(const std::string& utf8) {
  Utf8ToUtf16(utf8);  // refuses malformed UTF-8
  size_t units = 0, at = 0;
  while (at < utf8.size()) {
    const auto lead = static_cast<unsigned char>(utf8[at]);
    const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    const size_t needed = length == 4 ? 2 : 1;  // outside the BMP: a surrogate pair
    if (units + needed > static_cast<size_t>(kMaxNameLength)) break;
    units += needed;
    at += length;
  }
  return utf8.substr(0, at);
}

const MultiValueKind& KindOfValues(const Column& column) {
  for (const MultiValueKind& k : kMultiValueKinds)
    if (k.type == column.complex_value_type) return k;
  throw std::invalid_argument(std::string("a multi-value column cannot hold ") +
                              ColumnTypeName(column.complex_value_type) + " values");
}

// The kind's own columns, as in its template table.
std::vector<Column> KindColumns(const Column& column) {
  switch (column.complex_kind) {
    case ComplexKind::kMultiValue: {
      Column value{"Value", KindOfValues(column).type, column.size > 0 ? column.size : 255};
      value.precision = column.precision;
      value.scale = column.scale;
      return {value};
    }
    case ComplexKind::kAttachment:
      return {{"FileURL", T::kMemo, 0},       {"FileName", T::kText, 255},     {"FileType", T::kText, 255},
              {"FileData", T::kOle, 0},       {"FileTimeStamp", T::kDateTime, 0}, {"FileFlags", T::kLong, 0}};
    case ComplexKind::kVersionHistory: return {{column.history_of, T::kMemo, 0}, {kModifiedColumn, T::kDateTime, 0}};
    case ComplexKind::kKeyOnly: break;
  }
  throw std::invalid_argument("column \"" + column.name + "\" has no complex kind");
}

}  // namespace

TableShape FlatTable(const std::string& table, const Column& column) {
  TableShape flat{CutName("f_" + Hex32(column.complex_id) + "_" + column.name), {}};
  flat.columns.push_back({CutName("_" + column.name), T::kLong, 0});
  for (const Column& c : KindColumns(column)) flat.columns.push_back(c);
  flat.columns.push_back({CutName(table + "_" + column.name), T::kLong, 0});
  return flat;
}

TableShape TemplateTable(const Column& column) {
  switch (column.complex_kind) {
    case ComplexKind::kMultiValue: return {KindOfValues(column).template_name, KindColumns(column)};
    case ComplexKind::kAttachment: return {"MSysComplexType_Attachment", KindColumns(column)};
    case ComplexKind::kVersionHistory: return {"MSysComplexTypeVH_" + Hex32(column.complex_id), KindColumns(column)};
    case ComplexKind::kKeyOnly: break;
  }
  throw std::invalid_argument("column \"" + column.name + "\" has no complex kind");
}

std::vector<std::vector<Value>> FlatRows(const Column& column, const Value& cell) {
  std::vector<std::vector<Value>> rows;
  if (cell.kind() != Value::Kind::kComplex) return rows;  // Null or a bare key: no values
  const Value key = Value::Int(cell.as_int());
  const ComplexItems& items = cell.as_complex();
  const bool only_values = items.attachments.empty() && items.versions.empty();
  const bool only_files = items.values.empty() && items.versions.empty();
  const bool only_versions = items.values.empty() && items.attachments.empty();
  switch (column.complex_kind) {
    case ComplexKind::kMultiValue:
      if (!only_values) throw std::invalid_argument("a multi-value column holds values only");
      for (const Value& v : items.values) rows.push_back({key, v});
      break;
    case ComplexKind::kAttachment:
      if (!only_files) throw std::invalid_argument("an attachment column holds attachments only");
      for (const Attachment& a : items.attachments) {
        rows.push_back({key, Value(), Value::Text(a.name), Value::Text(a.type), Value::Bytes(EncodeAttachmentData(a)),
                        Value(), Value()});
      }
      break;
    case ComplexKind::kVersionHistory:
      if (!only_versions) throw std::invalid_argument("a version-history column holds versions only");
      for (const MemoVersion& v : items.versions) rows.push_back({key, Value::Text(v.text), Value::DateTime(v.modified)});
      break;
    case ComplexKind::kKeyOnly: break;  // it has no flat table

  }
  return rows;
}

std::string EncodeAttachmentData(const Attachment& attachment) {
  const std::u16string type = Utf8ToUtf16(attachment.type);
  Bytes decoded;
  Append32(decoded, static_cast<std::uint32_t>(12 + 2 * (type.size() + 1)));  // header length
  Append32(decoded, 1);
  Append32(decoded, static_cast<std::uint32_t>(type.size() + 1));  // characters, the final 0 included
  for (char16_t c : type) Append16(decoded, c);
  Append16(decoded, 0);
  AppendBytes(decoded, attachment.data);

  uLongf size = compressBound(static_cast<uLong>(decoded.size()));
  Bytes stream(size);
  if (compress2(stream.data(), &size, decoded.data(), static_cast<uLong>(decoded.size()), kAttachmentCompression) != Z_OK) {
    throw std::runtime_error("zlib cannot compress the attachment \"" + attachment.name + "\"");
  }
  Bytes out;
  Append32(out, 1);  // compressed
  Append32(out, static_cast<std::uint32_t>(decoded.size()));
  out.insert(out.end(), stream.begin(), stream.begin() + static_cast<long>(size));
  return std::string(out.begin(), out.end());
}

const std::vector<Column>& ComplexCatalogColumns() {
  static const std::vector<Column> kColumns = {
      {"ColumnName", T::kText, 255}, {"ComplexTypeObjectID", T::kLong, 0}, {"FlatTableID", T::kLong, 0},
      {"ConceptualTableID", T::kLong, 0}, {"ComplexID", T::kLong, 0}};
  return kColumns;
}

}  // namespace accessdb
