// TFieldDef / TFieldDefs: the field definitions a dataset builds its fields
// from when it is created. Owned by the dataset (TCustomClientDataSet::FieldDefs).
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "dataset/field_type.h"
#include "runtime/unicode_string.h"

class TFieldDef {
 public:
  TFieldDef(UnicodeString name, TFieldType dataType, int32_t size, bool required)
      : name_(std::move(name)), dataType_(dataType), size_(size), required_(required) {}
  const UnicodeString& Name() const { return name_; }
  TFieldType DataType() const { return dataType_; }
  int32_t Size() const { return size_; }
  bool Required() const { return required_; }

 private:
  UnicodeString name_;
  TFieldType dataType_;
  int32_t size_;
  bool required_;
};

class TFieldDefs {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  // Raises ERangeError "List index out of bounds (%d)" outside 0..Count-1.
  const TFieldDef& Items(int index) const;
  // Appends a definition. A name already defined, ignoring case, fails with
  // EDatabaseError "Duplicate name '<name>' in TFieldDefs" and adds nothing.
  void Add(const UnicodeString& name, TFieldType dataType, int32_t size = 0, bool required = false);
  void Clear() { items_.clear(); }
  // Position of the definition of that name (ignoring case), or -1.
  int IndexOf(UnicodeStringView name) const;
  // The definition of that name; raises EDatabaseError "Field '%s' not found".
  const TFieldDef& Find(UnicodeStringView name) const;

 private:
  std::vector<TFieldDef> items_;
};
