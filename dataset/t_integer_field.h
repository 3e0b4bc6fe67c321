// The 32-bit-and-smaller integer fields. Stored as a 64-bit integer; the
// value is checked against the kind's range on assignment.
//
//   TIntegerField   ftInteger   -2147483648 .. 2147483647
//   TSmallintField  ftSmallint  -32768 .. 32767
//   TWordField      ftWord      0 .. 65535
//   TAutoIncField   ftAutoInc   like TIntegerField; a new row posted with the
//                               field null gets one more than the largest
//                               value the dataset has held.
// Texts are read with the Variant's integer rule (digits, optional sign,
// blanks around; a decimal number is rounded).
#pragma once

#include "dataset/t_field.h"

class TIntegerField : public TField {
 public:
  TIntegerField(TDataSet* dataSet, UnicodeString fieldName, TFieldType dataType, int32_t size, int32_t index);
  UnicodeString ClassName() const override { return u"TIntegerField"; }

  Variant ToVariant(const FieldValue& stored) const override;
  UnicodeString ToText(const FieldValue& stored) const override;
  int64_t MinValue() const { return min_; }
  int64_t MaxValue() const { return max_; }

 protected:
  FieldValue ConvertVariant(const Variant& value) const override;
  void SetRange(int64_t min, int64_t max) {
    min_ = min;
    max_ = max;
  }

 private:
  int64_t min_;
  int64_t max_;
};

class TSmallintField : public TIntegerField {
 public:
  TSmallintField(TDataSet* dataSet, UnicodeString fieldName, TFieldType dataType, int32_t size, int32_t index);
  UnicodeString ClassName() const override { return u"TSmallintField"; }
};

class TWordField : public TIntegerField {
 public:
  TWordField(TDataSet* dataSet, UnicodeString fieldName, TFieldType dataType, int32_t size, int32_t index);
  UnicodeString ClassName() const override { return u"TWordField"; }
};

class TAutoIncField : public TIntegerField {
 public:
  using TIntegerField::TIntegerField;
  UnicodeString ClassName() const override { return u"TAutoIncField"; }
};
