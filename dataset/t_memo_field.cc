#include "dataset/t_memo_field.h"

#include "platform/code_page.h"

FieldValue TMemoField::ConvertVariant(const Variant& value) const {
  const int32_t codePage = GetACP();
  FieldValue stored = FieldValue::Bytes(value.IsString() ? ansi_.Convert(codePage, value.AsStringRef())
                                                         : ansi_.Convert(codePage, value.ToString()));
  ansi_.Release();
  return stored;
}

Variant TMemoField::ToVariant(const FieldValue& stored) const {
  if (stored.IsNull()) return Variant::Null();
  return Variant(FromAnsi(stored.AsBytes()));
}
