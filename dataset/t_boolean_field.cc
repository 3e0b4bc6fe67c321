#include "dataset/t_boolean_field.h"

FieldValue TBooleanField::ConvertVariant(const Variant& value) const {
  if (IsBlankText(value)) return FieldValue::Null();
  return FieldValue::Int(value.ToBoolean() ? 1 : 0);
}

Variant TBooleanField::ToVariant(const FieldValue& stored) const {
  if (stored.IsNull()) return Variant::Null();
  return Variant(stored.AsInt() != 0);
}

UnicodeString TBooleanField::ToText(const FieldValue& stored) const {
  if (stored.IsNull()) return UnicodeString();
  return stored.AsInt() != 0 ? u"True" : u"False";
}
