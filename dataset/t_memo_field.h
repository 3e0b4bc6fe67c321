// TMemoField: text of any length in the ANSI code page (ftMemo, also
// ftFmtMemo and ftOraClob). Like a string field but never cut: Size is
// recorded and limits nothing. AsVariant gives a text Variant.
#pragma once

#include "dataset/ansi_buffer.h"
#include "dataset/t_blob_field.h"

class TMemoField : public TBlobField {
 public:
  using TBlobField::TBlobField;
  UnicodeString ClassName() const override { return u"TMemoField"; }

  Variant ToVariant(const FieldValue& stored) const override;
  TextStorage StoredText() const override { return TextStorage::kAnsi; }

 protected:
  FieldValue ConvertVariant(const Variant& value) const override;

 private:
  mutable AnsiBuffer ansi_;  // conversions of assigned values
};
