#include "dataset/t_float_field.h"

#include <cmath>
#include <cstdio>

#include "runtime/regional_settings.h"

namespace {
constexpr int32_t kDefaultPrecision = 15;
}

TFloatField::TFloatField(TDataSet* dataSet, UnicodeString fieldName, TFieldType dataType, int32_t size,
                         int32_t index)
    : TField(dataSet, std::move(fieldName), dataType, size, index) {
  SetAlignment(taRightJustify);
  SetPrecision(kDefaultPrecision);
}

FieldValue TFloatField::ConvertVariant(const Variant& value) const {
  if (IsBlankText(value)) return FieldValue::Null();
  return FieldValue::Float(value.ToDouble());
}

Variant TFloatField::ToVariant(const FieldValue& stored) const {
  if (stored.IsNull()) return Variant::Null();
  return Variant(stored.AsFloat());
}

UnicodeString TFloatField::ToText(const FieldValue& stored) const {
  if (stored.IsNull()) return UnicodeString();
  double v = stored.AsFloat();
  char16_t separator = RegionalSettings().DecimalSeparator;
  if (!std::isfinite(v)) return FloatToStr(v, separator);
  int32_t precision = Precision() > 0 && Precision() <= 17 ? Precision() : kDefaultPrecision;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*g", static_cast<int>(precision), v);
  UnicodeString text = AsciiToUnicode(buf);
  for (char16_t& c : text)
    if (c == u'.') c = separator;
  return text;
}

FieldValue TCurrencyField::ConvertVariant(const Variant& value) const {
  if (IsBlankText(value)) return FieldValue::Null();
  return FieldValue::Int(value.ToCurrency().scaled);
}

Variant TCurrencyField::ToVariant(const FieldValue& stored) const {
  if (stored.IsNull()) return Variant::Null();
  return Variant(Currency::FromScaled(stored.AsInt()));
}

UnicodeString TCurrencyField::ToText(const FieldValue& stored) const {
  if (stored.IsNull()) return UnicodeString();
  return CurrencyToStr(Currency::FromScaled(stored.AsInt()), RegionalSettings().DecimalSeparator);
}
