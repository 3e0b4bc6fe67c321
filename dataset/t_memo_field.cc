#include "dataset/t_memo_field.h"

#include "platform/code_page.h"

FieldValue TMemoField::ConvertVariant(const Variant& value) const {
  return FieldValue::Bytes(value.IsString() ? ToAnsi(value.AsStringRef()) : ToAnsi(value.ToString()));
}

Variant TMemoField::ToVariant(const FieldValue& stored) const {
  if (stored.IsNull()) return Variant::Null();
  return Variant(FromAnsi(stored.AsBytes()));
}
