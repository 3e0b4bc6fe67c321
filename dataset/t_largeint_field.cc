#include "dataset/t_largeint_field.h"

TLargeintField::TLargeintField(TDataSet* dataSet, UnicodeString fieldName, TFieldType dataType, int32_t size,
                               int32_t index)
    : TField(dataSet, std::move(fieldName), dataType, size, index) {
  SetAlignment(taRightJustify);
}

FieldValue TLargeintField::ConvertVariant(const Variant& value) const {
  if (IsBlankText(value)) return FieldValue::Null();
  return FieldValue::Int(value.ToInt64());
}

Variant TLargeintField::ToVariant(const FieldValue& stored) const {
  if (stored.IsNull()) return Variant::Null();
  return Variant(stored.AsInt());
}

UnicodeString TLargeintField::ToText(const FieldValue& stored) const {
  if (stored.IsNull()) return UnicodeString();
  return AsciiToUnicode(std::to_string(stored.AsInt()));
}
