// Byte fields of a bounded size that are not blobs.
//
//   TBytesField     ftBytes: at most Size bytes.
//   TVarBytesField  ftVarBytes: at most Size bytes.
// Stored and converted like a blob (byte arrays as they are, other values as
// ANSI text), then cut to Size bytes.
#pragma once

#include "dataset/t_field.h"

class TBytesField : public TField {
 public:
  using TField::TField;
  UnicodeString ClassName() const override { return u"TBytesField"; }

  Variant ToVariant(const FieldValue& stored) const override;
  UnicodeString ToText(const FieldValue& stored) const override;

 protected:
  FieldValue ConvertVariant(const Variant& value) const override;
};

class TVarBytesField : public TBytesField {
 public:
  using TBytesField::TBytesField;
  UnicodeString ClassName() const override { return u"TVarBytesField"; }
};
