#include "dataset/t_bytes_field.h"

#include "platform/code_page.h"

FieldValue TBytesField::ConvertVariant(const Variant& value) const {
  std::string bytes;
  if (value.Type() == VarType::ByteArray) {
    const Variant::Bytes& b = value.AsBytes();
    bytes.assign(b.begin(), b.end());
  } else {
    bytes = ToAnsi(value.ToString());
  }
  if (Size() >= 0 && bytes.size() > static_cast<size_t>(Size())) bytes.resize(static_cast<size_t>(Size()));
  return FieldValue::Bytes(std::move(bytes));
}

Variant TBytesField::ToVariant(const FieldValue& stored) const {
  if (stored.IsNull()) return Variant::Null();
  std::string_view s = stored.AsBytes();
  return Variant(Variant::Bytes(s.begin(), s.end()));
}

UnicodeString TBytesField::ToText(const FieldValue& stored) const {
  return stored.IsNull() ? UnicodeString() : FromAnsi(stored.AsBytes());
}
