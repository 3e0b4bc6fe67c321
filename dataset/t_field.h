// TField: one column of an open dataset and the accessor of its value in the
// dataset's active buffer.
//
// Ownership: a dataset creates one field per field definition when it opens
// (CreateDataSet) and destroys them when it closes or is destroyed; fields
// have no owner component and callers never delete them. A TField* stays
// valid while its dataset is open.
//
// Which value a field reads and writes follows the dataset's state: the
// search key in dsSetKey, the pending row in dsEdit and dsInsert, else the
// current row (a closed or empty dataset reads as null). Writing is allowed
// only in dsEdit, dsInsert and dsSetKey; otherwise EDatabaseError
// "Dataset not in edit or insert mode".
//
// Conversion rule (one for every assignment; each subclass supplies the
// conversion of its kind in ConvertVariant):
//   - SetAsString(text) is SetAsVariant(text); the typed setters pass their
//     value as the matching Variant (SetAsDateTime as a date Variant).
//   - SetAsVariant: Null and Empty make the field null. Any other value is
//     converted to the field's kind with the Variant's own conversions; for
//     every kind that is not text, an empty (or all-blank) text makes the
//     field null.
//   - A text that does not read as a number or date fails with the runtime's
//     EConvertError ("'abc' is not a valid integer value", "... floating
//     point value", "... date and time"); a value whose kind has no such
//     form (an array, an object, a text that is no truth value for a Boolean
//     field, a number out of the variant's range) fails with EDatabaseError
//     "Invalid value for field '<name>'". An integer outside the field's
//     range fails with EDatabaseError "<value> is not a valid value for field
//     '<name>'. The allowed range is <min> to <max>".
//   - Reads: AsString of null is "", AsVariant of null is Null, the typed
//     reads give 0 / false for null and otherwise convert AsVariant with the
//     Variant's rules (their errors pass unchanged).
#pragma once

#include <cstdint>

#include "dataset/field_type.h"
#include "dataset/field_value.h"
#include "runtime/component.h"
#include "runtime/currency.h"
#include "runtime/date_time.h"
#include "runtime/unicode_string.h"
#include "runtime/variant.h"

class TDataSet;

class TField : public TComponent {
 public:
  // Called by the dataset's field factory (dataset/field_factory.h).
  TField(TDataSet* dataSet, UnicodeString fieldName, TFieldType dataType, int32_t size, int32_t index);
  ~TField() override;
  UnicodeString ClassName() const override { return u"TField"; }

  TDataSet* DataSet() const { return dataSet_; }
  const UnicodeString& FieldName() const { return fieldName_; }
  TFieldType DataType() const { return dataType_; }
  int32_t Size() const { return size_; }
  // 0-based position in the dataset's Fields.
  int32_t Index() const { return index_; }
  // FieldName unless set otherwise.
  UnicodeString DisplayLabel() const { return displayLabel_.empty() ? fieldName_ : displayLabel_; }
  void SetDisplayLabel(const UnicodeString& label) { displayLabel_ = label; }
  // True for the blob kinds: blob, memo, graphic and the other binary large objects.
  virtual bool IsBlob() const { return false; }
  bool Visible() const { return visible_; }
  void SetVisible(bool visible) { visible_ = visible; }
  TFieldKind FieldKind() const { return fkData; }
  // Numbers are right-justified, everything else left.
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment alignment) { alignment_ = alignment; }
  // Significant digits of the text form of float fields (15 by default); 0 for other kinds.
  int32_t Precision() const { return precision_; }
  void SetPrecision(int32_t precision) { precision_ = precision; }
  // Post fails with "Field '<name>' must have a value" while a required field is null.
  bool Required() const { return required_; }
  void SetRequired(bool required) { required_ = required; }

  bool IsNull() const;
  UnicodeString AsString() const;
  // AsString in UTF-8; text kept in the ANSI code page goes there without a
  // UTF-16 copy.
  std::string AsUtf8() const;
  // AsString in the active ANSI code page (ToAnsi(AsString())); text kept in
  // that code page goes there without a UTF-16 copy.
  std::string AsAnsi() const;
  // AsAnsi as a view: of the stored bytes themselves when the code page
  // gives them back unchanged, else of `storage`, which then holds AsAnsi().
  // Valid while the record's value and `storage` stay as they are.
  std::string_view AnsiView(std::string& storage) const;
  void SetAsString(const UnicodeString& text);
  Variant AsVariant() const;
  void SetAsVariant(const Variant& value);
  // Makes the field null.
  void Clear();

  int32_t AsInteger() const;
  void SetAsInteger(int32_t value);
  int64_t AsLargeInt() const;
  void SetAsLargeInt(int64_t value);
  double AsFloat() const;
  void SetAsFloat(double value);
  bool AsBoolean() const;
  void SetAsBoolean(bool value);
  TDateTime AsDateTime() const;
  void SetAsDateTime(TDateTime value);
  Currency AsCurrency() const;
  void SetAsCurrency(Currency value);

  // The conversions of this field's kind, independent of the dataset's
  // state; the dataset uses them for the search key and Locate.
  // Value -> stored form by the rule above (Null/Empty give null).
  FieldValue ToStored(const Variant& value) const;
  // Stored form -> Variant (Null for null).
  virtual Variant ToVariant(const FieldValue& stored) const = 0;
  // Stored form -> text ("" for null).
  virtual UnicodeString ToText(const FieldValue& stored) const = 0;
  // How the stored bytes hold text (kNone for kinds that are not text).
  virtual TextStorage StoredText() const { return TextStorage::kNone; }

 protected:
  // Converts a value that is neither Null nor Empty. May raise EVariantError
  // (becomes "Invalid value for field"), EConvertError or EDatabaseError.
  virtual FieldValue ConvertVariant(const Variant& value) const = 0;
  // True for a text that is empty or all blanks: it makes a field of a kind
  // that is not text null.
  static bool IsBlankText(const Variant& value);
  // The active value (see the state rule above).
  const FieldValue& StoredValue() const;
  // Raises the field's range error.
  [[noreturn]] void RangeError(int64_t value, int64_t min, int64_t max) const;

 private:

  TDataSet* dataSet_;
  UnicodeString fieldName_;
  TFieldType dataType_;
  int32_t size_;
  int32_t index_;
  UnicodeString displayLabel_;
  bool visible_ = true;
  bool required_ = false;
  TAlignment alignment_ = taLeftJustify;
  int32_t precision_ = 0;
};
