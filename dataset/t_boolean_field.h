// TBooleanField: true, false or null (ftBoolean). Text form "True" / "False".
// Assignment takes the Variant's truth value: Boolean, numbers (non-zero is
// true) and the texts "True" / "False" in any case; an empty text gives null;
// any other text fails with "Invalid value for field '<name>'".
#pragma once

#include "dataset/t_field.h"

class TBooleanField : public TField {
 public:
  using TField::TField;
  UnicodeString ClassName() const override { return u"TBooleanField"; }

  Variant ToVariant(const FieldValue& stored) const override;
  UnicodeString ToText(const FieldValue& stored) const override;

 protected:
  FieldValue ConvertVariant(const Variant& value) const override;
};
