// TBCDField: a fixed-point decimal with four decimals held as the runtime's
// Currency (ftBCD, also ftFMTBcd). AsVariant gives a Currency Variant; Size
// is the count of decimals the definition asked for (kept, not enforced:
// more than four are rounded away).
#pragma once

#include "dataset/t_field.h"

class TBCDField : public TField {
 public:
  TBCDField(TDataSet* dataSet, UnicodeString fieldName, TFieldType dataType, int32_t size, int32_t index);
  UnicodeString ClassName() const override { return u"TBCDField"; }

  Variant ToVariant(const FieldValue& stored) const override;
  UnicodeString ToText(const FieldValue& stored) const override;

 protected:
  FieldValue ConvertVariant(const Variant& value) const override;
};
