#include "dataset/t_index_defs.h"

#include "runtime/exceptions.h"
#include "runtime/utf8.h"

namespace {
constexpr size_t kMaxNameBytes = 31;
}

UnicodeString CutDataSetName(const UnicodeString& name) {
  std::string utf8 = ToUtf8(name);
  if (utf8.size() <= kMaxNameBytes) return name;
  size_t n = kMaxNameBytes;
  // Back up over UTF-8 continuation bytes so no character is split.
  while (n > 0 && (static_cast<unsigned char>(utf8[n]) & 0xC0) == 0x80) --n;
  return FromUtf8(std::string_view(utf8.data(), n));
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
