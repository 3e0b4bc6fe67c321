#include "tools/accessdb/property_blob.h"

#include <algorithm>

#include "tools/accessdb/byte_buffer.h"
#include "tools/accessdb/text_codec.h"

namespace accessdb {
namespace {

// Name or text value as stored in a property blob.
Bytes PropertyText(Format format, const std::string& utf8, int code_page) {
  Bytes out;
  if (format == Format::kJet4) {
    for (char16_t c : Utf8ToUtf16(utf8)) Append16(out, c);
  } else {
    AppendBytes(out, CodePageEncoder(code_page).Encode(utf8));
  }
  return out;
}

Bytes PropertyValue(Format format, const Property& p, int code_page) {
  if (p.type != PropertyType::kByte) return PropertyText(format, p.value, code_page);
  return Bytes(p.value.begin(), p.value.end());
}

}  // namespace

std::string PropertyBlob(Format format, const std::vector<PropertyBlock>& blocks, int code_page) {
  std::vector<std::string> names;  // each name once, in order of first use
  for (const PropertyBlock& b : blocks) {
    for (const Property& p : b.properties) {
      if (std::find(names.begin(), names.end(), p.name) == names.end()) names.push_back(p.name);
    }
  }
  Bytes blob;
  AppendBytes(blob, format == Format::kJet4 ? "MR2" : "KKD");
  Append8(blob, 0);
  Bytes chunk;  // chunk 0x80: the property names
  for (const std::string& name : names) {
    const Bytes n = PropertyText(format, name, code_page);
    Append16(chunk, static_cast<std::uint32_t>(n.size()));
    AppendBytes(chunk, n);
  }
  auto append_chunk = [&](std::uint32_t type) {
    Append32(blob, static_cast<std::uint32_t>(6 + chunk.size()));
    Append16(blob, type);
    AppendBytes(blob, chunk);
  };
  append_chunk(0x80);
  for (const PropertyBlock& b : blocks) {
    // Chunk 0x00 (the object) or 0x01 (a column): a header naming it, then the records.
    const Bytes object = PropertyText(format, b.object, code_page);
    chunk.clear();
    Append32(chunk, static_cast<std::uint32_t>(6 + object.size()));
    Append16(chunk, static_cast<std::uint32_t>(object.size()));
    AppendBytes(chunk, object);
    for (const Property& p : b.properties) {
      const Bytes v = PropertyValue(format, p, code_page);
      const auto index = std::find(names.begin(), names.end(), p.name) - names.begin();
      Append16(chunk, static_cast<std::uint32_t>(8 + v.size()));
      Append8(chunk, p.ddl ? 1 : 0);
      Append8(chunk, static_cast<std::uint32_t>(p.type));
      Append16(chunk, static_cast<std::uint32_t>(index));
      Append16(chunk, static_cast<std::uint32_t>(v.size()));
      AppendBytes(chunk, v);
    }
    append_chunk(b.object.empty() ? 0x00 : 0x01);
  }
  return std::string(blob.begin(), blob.end());
}

std::string ColumnProperties(Format format, const std::vector<Column>& columns, int code_page) {
  const std::string yes(1, '\x01');
  std::vector<PropertyBlock> blocks;
  for (const Column& c : columns) {
    PropertyBlock b{c.name, {}};
    if (HasAccessCalculatedLayout(c)) {
      if (!c.expression.empty()) b.properties.push_back({"Expression", PropertyType::kMemo, c.expression, true});
      b.properties.push_back({"ResultType", PropertyType::kByte, std::string(1, static_cast<char>(*c.result_type)), true});
    }
    if (c.type == ColumnType::kComplex && c.complex_kind == ComplexKind::kMultiValue) {
      b.properties.push_back({"AllowMultipleValues", PropertyType::kBoolean, yes, true});
    }
    const bool keeps_versions = std::any_of(columns.begin(), columns.end(), [&](const Column& h) {
      return h.type == ColumnType::kComplex && h.complex_kind == ComplexKind::kVersionHistory && h.history_of == c.name;
    });
    if (keeps_versions) b.properties.push_back({"AppendOnly", PropertyType::kBoolean, yes, true});
    if (!b.properties.empty()) blocks.push_back(std::move(b));
  }
  // Access also marks the table itself when it keeps versions.
  const bool versions = std::any_of(columns.begin(), columns.end(), [](const Column& h) {
    return h.type == ColumnType::kComplex && h.complex_kind == ComplexKind::kVersionHistory;
  });
  if (versions) blocks.push_back({"", {{"AppendOnly", PropertyType::kBoolean, yes, true}}});
  return blocks.empty() ? std::string() : PropertyBlob(format, blocks, code_page);
}

}  // namespace accessdb
