#include "dataset/t_field_defs.h"

#include "runtime/exceptions.h"

const TFieldDef& TFieldDefs::Items(int index) const {
  if (index < 0 || index >= Count()) throw ERangeError(FormatText(u"List index out of bounds (%d)", {int64_t{index}}));
  return items_[static_cast<size_t>(index)];
}

void TFieldDefs::Add(const UnicodeString& name, TFieldType dataType, int32_t size, bool required) {
  if (IndexOf(name) >= 0) throw EDatabaseError(FormatText(u"Duplicate name '%s' in %s", {name, UnicodeString(u"TFieldDefs")}));
  items_.emplace_back(name, dataType, size, required);
}

int TFieldDefs::IndexOf(UnicodeStringView name) const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (SameText(items_[i].Name(), name)) return static_cast<int>(i);
  return -1;
}

const TFieldDef& TFieldDefs::Find(UnicodeStringView name) const {
  int i = IndexOf(name);
  if (i < 0) throw EDatabaseError(FormatText(u"Field '%s' not found", {UnicodeString(name)}));
  return items_[static_cast<size_t>(i)];
}
