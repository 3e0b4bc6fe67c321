#include "dataset/t_bcd_field.h"

#include "runtime/regional_settings.h"

TBCDField::TBCDField(TDataSet* dataSet, UnicodeString fieldName, TFieldType dataType, int32_t size,
                     int32_t index)
    : TField(dataSet, std::move(fieldName), dataType, size, index) {
  SetAlignment(taRightJustify);
}

FieldValue TBCDField::ConvertVariant(const Variant& value) const {
  if (IsBlankText(value)) return FieldValue::Null();
  return FieldValue::Int(value.ToCurrency().scaled);
}

Variant TBCDField::ToVariant(const FieldValue& stored) const {
  if (stored.IsNull()) return Variant::Null();
  return Variant(Currency::FromScaled(stored.AsInt()));
}

UnicodeString TBCDField::ToText(const FieldValue& stored) const {
  if (stored.IsNull()) return UnicodeString();
  return CurrencyToStr(Currency::FromScaled(stored.AsInt()), RegionalSettings().DecimalSeparator);
}
