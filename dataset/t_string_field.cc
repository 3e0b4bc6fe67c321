#include "dataset/t_string_field.h"

#include "platform/code_page.h"
#include "runtime/utf8.h"

namespace {
constexpr int32_t kDefaultStringSize = 20;
}

TStringField::TStringField(TDataSet* dataSet, UnicodeString fieldName, TFieldType dataType, int32_t size,
                           int32_t index)
    : TField(dataSet, std::move(fieldName), dataType, size > 0 ? size : kDefaultStringSize, index) {}

std::string TStringField::CutAtCharacter(int32_t codePage, std::string_view bytes, size_t maxBytes) {
  if (bytes.size() <= maxBytes) return std::string(bytes);
  // A prefix ends on a character boundary when it decodes to a prefix of the
  // whole text; a cut multi-byte character decodes to something else (the
  // replacement character) instead. Decoding needs no lead-byte table of
  // our own and works for every code page the platform converts.
  UnicodeString whole = MultiByteToWide(codePage, bytes);
  for (size_t n = maxBytes; n > 0; --n) {
    UnicodeString part = MultiByteToWide(codePage, std::string_view(bytes.data(), n));
    if (whole.compare(0, part.size(), part) == 0) return std::string(bytes.substr(0, n));
  }
  return std::string();
}

FieldValue TStringField::ConvertVariant(const Variant& value) const {
  const int32_t codePage = GetACP();
  const size_t maxBytes = static_cast<size_t>(Size());
  // A text is converted in place; other kinds go through their text form.
  const std::string_view bytes =
      value.IsString() ? ansi_.Convert(codePage, value.AsStringRef()) : ansi_.Convert(codePage, value.ToString());
  FieldValue stored =
      bytes.size() <= maxBytes ? FieldValue::Bytes(bytes) : FieldValue::Bytes(CutAtCharacter(codePage, bytes, maxBytes));
  ansi_.Release();
  return stored;
}

Variant TStringField::ToVariant(const FieldValue& stored) const {
  if (stored.IsNull()) return Variant::Null();
  return Variant(FromAnsi(stored.AsBytes()));
}

UnicodeString TStringField::ToText(const FieldValue& stored) const {
  return stored.IsNull() ? UnicodeString() : FromAnsi(stored.AsBytes());
}

TWideStringField::TWideStringField(TDataSet* dataSet, UnicodeString fieldName, TFieldType dataType,
                                   int32_t size, int32_t index)
    : TField(dataSet, std::move(fieldName), dataType, size > 0 ? size : kDefaultStringSize, index) {}

FieldValue TWideStringField::ConvertVariant(const Variant& value) const {
  UnicodeString text = value.ToString();
  size_t max = static_cast<size_t>(Size());
  if (text.size() > max) {
    // Keep surrogate pairs whole.
    if (max > 0 && text[max - 1] >= 0xD800 && text[max - 1] <= 0xDBFF) --max;
    text.resize(max);
  }
  return FieldValue::Bytes(ToUtf8(text));
}

Variant TWideStringField::ToVariant(const FieldValue& stored) const {
  if (stored.IsNull()) return Variant::Null();
  return Variant(FromUtf8(stored.AsBytes()));
}

UnicodeString TWideStringField::ToText(const FieldValue& stored) const {
  return stored.IsNull() ? UnicodeString() : FromUtf8(stored.AsBytes());
}
