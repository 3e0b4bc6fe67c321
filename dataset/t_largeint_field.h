// TLargeintField: a 64-bit signed integer (ftLargeint). Texts are read with
// the Variant's integer rule.
#pragma once

#include "dataset/t_field.h"

class TLargeintField : public TField {
 public:
  TLargeintField(TDataSet* dataSet, UnicodeString fieldName, TFieldType dataType, int32_t size, int32_t index);
  UnicodeString ClassName() const override { return u"TLargeintField"; }

  Variant ToVariant(const FieldValue& stored) const override;
  UnicodeString ToText(const FieldValue& stored) const override;

 protected:
  FieldValue ConvertVariant(const Variant& value) const override;
};
