// TBlobField: a binary large object of any length (ftBlob, also
// ftParadoxOle, ftDBaseOle, ftTypedBinary, ftOraBlob). Size is recorded and
// limits nothing.
//
// Stored as bytes. A byte-array Variant is stored as it is; any other value
// is taken as text and stored in the ANSI code page active at that moment.
// AsVariant gives a byte-array Variant; AsString reads the bytes as ANSI
// text. TMemoField and TGraphicField derive from it.
#pragma once

#include "dataset/t_field.h"

class TBlobField : public TField {
 public:
  using TField::TField;
  UnicodeString ClassName() const override { return u"TBlobField"; }

  bool IsBlob() const override { return true; }
  Variant ToVariant(const FieldValue& stored) const override;
  UnicodeString ToText(const FieldValue& stored) const override;
  // The stored bytes of the active value (empty for null).
  std::string AsBytes() const;

 protected:
  FieldValue ConvertVariant(const Variant& value) const override;
};
