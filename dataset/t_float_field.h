// Floating-point fields.
//
//   TFloatField     ftFloat: a double. Text form: at most Precision
//                   significant digits (default 15) with the regional decimal
//                   separator ("0.3" for 0.1 + 0.2, "1e+20").
//   TCurrencyField  ftCurrency: a fixed-point value with four decimals (the
//                   runtime's Currency, rounded half to even on assignment);
//                   AsVariant gives a Currency Variant, the text form has up
//                   to four decimals ("18.5").
// Texts are read with the regional decimal separator (Variant::ToDouble).
#pragma once

#include "dataset/t_field.h"

class TFloatField : public TField {
 public:
  TFloatField(TDataSet* dataSet, UnicodeString fieldName, TFieldType dataType, int32_t size, int32_t index);
  UnicodeString ClassName() const override { return u"TFloatField"; }

  Variant ToVariant(const FieldValue& stored) const override;
  UnicodeString ToText(const FieldValue& stored) const override;

 protected:
  FieldValue ConvertVariant(const Variant& value) const override;
};

class TCurrencyField : public TFloatField {
 public:
  using TFloatField::TFloatField;
  UnicodeString ClassName() const override { return u"TCurrencyField"; }

  Variant ToVariant(const FieldValue& stored) const override;
  UnicodeString ToText(const FieldValue& stored) const override;

 protected:
  FieldValue ConvertVariant(const Variant& value) const override;
};
