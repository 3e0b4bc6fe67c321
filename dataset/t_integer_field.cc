#include "dataset/t_integer_field.h"

#include <limits>

TIntegerField::TIntegerField(TDataSet* dataSet, UnicodeString fieldName, TFieldType dataType, int32_t size,
                             int32_t index)
    : TField(dataSet, std::move(fieldName), dataType, size, index),
      min_(std::numeric_limits<int32_t>::min()),
      max_(std::numeric_limits<int32_t>::max()) {
  SetAlignment(taRightJustify);
}

FieldValue TIntegerField::ConvertVariant(const Variant& value) const {
  if (IsBlankText(value)) return FieldValue::Null();
  int64_t v = value.ToInt64();
  if (v < min_ || v > max_) RangeError(v, min_, max_);
  return FieldValue::Int(v);
}

Variant TIntegerField::ToVariant(const FieldValue& stored) const {
  if (stored.IsNull()) return Variant::Null();
  return Variant(static_cast<int32_t>(stored.AsInt()));
}

UnicodeString TIntegerField::ToText(const FieldValue& stored) const {
  if (stored.IsNull()) return UnicodeString();
  return AsciiToUnicode(std::to_string(stored.AsInt()));
}

TSmallintField::TSmallintField(TDataSet* dataSet, UnicodeString fieldName, TFieldType dataType, int32_t size,
                               int32_t index)
    : TIntegerField(dataSet, std::move(fieldName), dataType, size, index) {
  SetRange(std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max());
}

TWordField::TWordField(TDataSet* dataSet, UnicodeString fieldName, TFieldType dataType, int32_t size,
                       int32_t index)
    : TIntegerField(dataSet, std::move(fieldName), dataType, size, index) {
  SetRange(0, std::numeric_limits<uint16_t>::max());
}
