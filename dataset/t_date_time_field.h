// Date and time fields, stored as TDateTime (days since 1899-12-30).
//
//   TDateTimeField  ftDateTime (also ftTimeStamp): date and time; text form
//                   DateTimeToStr (short date, then the long time unless midnight).
//   TDateField      ftDate: the day only (the time of day is dropped); text
//                   form the regional short date.
//   TTimeField      ftTime: the time of day only (the day is dropped); text
//                   form the regional long time.
// Texts are read with Variant::ToDateTime (the regional short date order,
// then an optional time); numbers are taken as TDateTime values.
// AsVariant gives a date Variant.
#pragma once

#include "dataset/t_field.h"

class TDateTimeField : public TField {
 public:
  TDateTimeField(TDataSet* dataSet, UnicodeString fieldName, TFieldType dataType, int32_t size, int32_t index);
  UnicodeString ClassName() const override { return u"TDateTimeField"; }

  Variant ToVariant(const FieldValue& stored) const override;
  UnicodeString ToText(const FieldValue& stored) const override;

 protected:
  FieldValue ConvertVariant(const Variant& value) const override;
  // Keeps the part of the value the kind stores.
  virtual TDateTime Normalize(TDateTime value) const { return value; }
};

class TDateField : public TDateTimeField {
 public:
  using TDateTimeField::TDateTimeField;
  UnicodeString ClassName() const override { return u"TDateField"; }
  UnicodeString ToText(const FieldValue& stored) const override;

 protected:
  TDateTime Normalize(TDateTime value) const override;
};

class TTimeField : public TDateTimeField {
 public:
  using TDateTimeField::TDateTimeField;
  UnicodeString ClassName() const override { return u"TTimeField"; }
  UnicodeString ToText(const FieldValue& stored) const override;

 protected:
  TDateTime Normalize(TDateTime value) const override;
};
