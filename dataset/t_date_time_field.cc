#include "dataset/t_date_time_field.h"

#include <cmath>

#include "runtime/regional_settings.h"

TDateTimeField::TDateTimeField(TDataSet* dataSet, UnicodeString fieldName, TFieldType dataType, int32_t size,
                               int32_t index)
    : TField(dataSet, std::move(fieldName), dataType, size, index) {}

FieldValue TDateTimeField::ConvertVariant(const Variant& value) const {
  if (IsBlankText(value)) return FieldValue::Null();
  return FieldValue::Float(Normalize(value.ToDateTime()));
}

Variant TDateTimeField::ToVariant(const FieldValue& stored) const {
  if (stored.IsNull()) return Variant::Null();
  return Variant::FromDate(stored.AsFloat());
}

UnicodeString TDateTimeField::ToText(const FieldValue& stored) const {
  if (stored.IsNull()) return UnicodeString();
  return DateTimeToStr(stored.AsFloat());
}

// The day of a TDateTime is its integer part, also before 1899-12-30, where
// the fraction still counts forward within the day.
TDateTime TDateField::Normalize(TDateTime value) const { return std::trunc(value); }

UnicodeString TDateField::ToText(const FieldValue& stored) const {
  if (stored.IsNull()) return UnicodeString();
  return FormatDateTime(RegionalSettings().ShortDateFormat, stored.AsFloat());
}

TDateTime TTimeField::Normalize(TDateTime value) const { return std::fabs(value - std::trunc(value)); }

UnicodeString TTimeField::ToText(const FieldValue& stored) const {
  if (stored.IsNull()) return UnicodeString();
  return FormatDateTime(RegionalSettings().LongTimeFormat, stored.AsFloat());
}
