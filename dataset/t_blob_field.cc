#include "dataset/t_blob_field.h"

#include "platform/code_page.h"

namespace {

// Bytes of a value bound for a blob: a byte array as it is, anything else as
// ANSI text.
std::string BlobBytes(const Variant& value) {
  if (value.Type() == VarType::ByteArray) {
    const Variant::Bytes& b = value.AsBytes();
    return std::string(b.begin(), b.end());
  }
  return ToAnsi(value.ToString());
}

}  // namespace

FieldValue TBlobField::ConvertVariant(const Variant& value) const { return FieldValue::Bytes(BlobBytes(value)); }

Variant TBlobField::ToVariant(const FieldValue& stored) const {
  if (stored.IsNull()) return Variant::Null();
  std::string_view s = stored.AsBytes();
  return Variant(Variant::Bytes(s.begin(), s.end()));
}

UnicodeString TBlobField::ToText(const FieldValue& stored) const {
  return stored.IsNull() ? UnicodeString() : FromAnsi(stored.AsBytes());
}

std::string TBlobField::AsBytes() const {
  const FieldValue& v = StoredValue();
  return v.IsNull() ? std::string() : std::string(v.AsBytes());
}
