#include "dataset/t_index_defs.h"

#include "runtime/exceptions.h"
#include "runtime/utf8.h"

namespace {
constexpr size_t kMaxNameBytes = 31;
}

UnicodeString CutDataSetName(const UnicodeString& name) {
  const std::string utf8 = ToUtf8(name);
  if (utf8.size() <= kMaxNameBytes) return name;
  return FromUtf8(std::string_view(utf8.data(), Utf8PrefixLength(utf8, kMaxNameBytes)));
}

const TIndexDef& TIndexDefs::Items(int index) const {
  if (index < 0 || index >= Count()) throw ERangeError(FormatText(u"List index out of bounds (%d)", {int64_t{index}}));
  return items_[static_cast<size_t>(index)];
}

void TIndexDefs::Add(const UnicodeString& name, const UnicodeString& fields, TIndexOptions options) {
  UnicodeString kept = CutDataSetName(name);
  if (IndexOf(kept) >= 0) throw EDatabaseError(FormatText(u"Duplicate name '%s' in %s", {kept, UnicodeString(u"TIndexDefs")}));
  items_.emplace_back(kept, fields, options);
}

int TIndexDefs::IndexOf(UnicodeStringView name) const {
  UnicodeString kept = CutDataSetName(UnicodeString(name));
  for (size_t i = 0; i < items_.size(); ++i)
    if (SameText(items_[i].Name(), kept)) return static_cast<int>(i);
  return -1;
}

const TIndexDef& TIndexDefs::Find(UnicodeStringView name) const {
  int i = IndexOf(name);
  if (i < 0) throw EDatabaseError(FormatText(u"Index '%s' not found", {UnicodeString(name)}));
  return items_[static_cast<size_t>(i)];
}
