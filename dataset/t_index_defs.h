// TIndexDef / TIndexDefs: the index definitions of a dataset. An index
// orders the rows by its fields (names separated by ";"); the options decide
// uniqueness, direction and case folding of text. Owned by the dataset
// (TCustomClientDataSet::IndexDefs).
#pragma once

#include <utility>
#include <vector>

#include "dataset/enum_set.h"
#include "runtime/unicode_string.h"

enum TIndexOption { ixPrimary, ixUnique, ixDescending, ixCaseInsensitive, ixExpression, ixNonMaintained };
using TIndexOptions = EnumSet<TIndexOption>;

class TIndexDef {
 public:
  TIndexDef(UnicodeString name, UnicodeString fields, TIndexOptions options)
      : name_(std::move(name)), fields_(std::move(fields)), options_(options) {}
  const UnicodeString& Name() const { return name_; }
  // Field names separated by ";".
  const UnicodeString& Fields() const { return fields_; }
  TIndexOptions Options() const { return options_; }

 private:
  UnicodeString name_;
  UnicodeString fields_;
  TIndexOptions options_;
};

class TIndexDefs {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  // Raises ERangeError "List index out of bounds (%d)" outside 0..Count-1.
  const TIndexDef& Items(int index) const;
  // Appends a definition; the rows are not reordered until the index is
  // made current. The name keeps at most 31 bytes of its UTF-8 form. A name
  // already defined, ignoring case, fails with EDatabaseError
  // "Duplicate name '<name>' in TIndexDefs" and adds nothing.
  void Add(const UnicodeString& name, const UnicodeString& fields, TIndexOptions options);
  void Clear() { items_.clear(); }
  // Position of the definition of that name (ignoring case), or -1.
  int IndexOf(UnicodeStringView name) const;
  // The definition of that name; raises EDatabaseError "Index '%s' not found".
  const TIndexDef& Find(UnicodeStringView name) const;

 private:
  std::vector<TIndexDef> items_;
};

// `name` cut to at most 31 bytes of UTF-8 at a character boundary, the most
// of a field or index name the dataset keeps.
UnicodeString CutDataSetName(const UnicodeString& name);
