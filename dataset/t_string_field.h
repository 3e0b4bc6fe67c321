// TStringField: text of at most Size bytes in the ANSI code page (ftString,
// also ftFixedChar and ftGuid).
//
// An assigned value is taken as text (Variant::ToString), converted to the
// code page active at that moment (characters it lacks become "?") and cut
// to at most Size bytes at a character boundary of that code page, so a
// double-byte character is never split. Reading converts back from the code
// page active when read. The empty text is stored as an empty text, not null.
#pragma once

#include <string>

#include "dataset/ansi_buffer.h"
#include "dataset/t_field.h"

class TStringField : public TField {
 public:
  // A size of 0 or less takes the default size 20.
  TStringField(TDataSet* dataSet, UnicodeString fieldName, TFieldType dataType, int32_t size, int32_t index);
  UnicodeString ClassName() const override { return u"TStringField"; }

  Variant ToVariant(const FieldValue& stored) const override;
  TextStorage StoredText() const override { return TextStorage::kAnsi; }
  UnicodeString ToText(const FieldValue& stored) const override;

  // `bytes` in `codePage` cut to at most `maxBytes` bytes, ending on a
  // character boundary.
  static std::string CutAtCharacter(int32_t codePage, std::string_view bytes, size_t maxBytes);

 protected:
  FieldValue ConvertVariant(const Variant& value) const override;

 private:
  mutable AnsiBuffer ansi_;  // conversions of assigned values
};

// TWideStringField: text of at most Size UTF-16 code units, kept whole
// whatever the code page (ftWideString). Stored as UTF-8, so the order of
// stored keys is the order of code points.
class TWideStringField : public TField {
 public:
  TWideStringField(TDataSet* dataSet, UnicodeString fieldName, TFieldType dataType, int32_t size, int32_t index);
  UnicodeString ClassName() const override { return u"TWideStringField"; }

  Variant ToVariant(const FieldValue& stored) const override;
  TextStorage StoredText() const override { return TextStorage::kUtf8; }
  UnicodeString ToText(const FieldValue& stored) const override;

 protected:
  FieldValue ConvertVariant(const Variant& value) const override;
};
