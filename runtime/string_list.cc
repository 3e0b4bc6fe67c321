#include "runtime/string_list.h"

#include <algorithm>

namespace {

UnicodeStringView NamePart(UnicodeStringView line) {
  size_t eq = line.find(u'=');
  return eq == UnicodeStringView::npos ? UnicodeStringView() : line.substr(0, eq);
}

}  // namespace

void TStringList::Assign(const TPersistent& source) {
  if (auto* other = dynamic_cast<const TStringList*>(&source)) {
    if (other == this) return;
    lines_ = other->lines_;
    caseSensitive_ = other->caseSensitive_;
    return;
  }
  TPersistent::Assign(source);
}

void TStringList::CheckIndex(int32_t index, int32_t limit) const {
  if (index < 0 || index >= limit)
    throw EStringListError(FormatText(u"List index out of bounds (%d)", {int64_t(index)}));
}

const UnicodeString& TStringList::Strings(int32_t index) const {
  CheckIndex(index, Count());
  return lines_[static_cast<size_t>(index)];
}

void TStringList::SetStrings(int32_t index, const UnicodeString& line) {
  CheckIndex(index, Count());
  lines_[static_cast<size_t>(index)] = line;
}

int32_t TStringList::Add(const UnicodeString& line) {
  lines_.push_back(line);
  return Count() - 1;
}

void TStringList::Insert(int32_t index, const UnicodeString& line) {
  CheckIndex(index, Count() + 1);
  lines_.insert(lines_.begin() + index, line);
}

void TStringList::Delete(int32_t index) {
  CheckIndex(index, Count());
  lines_.erase(lines_.begin() + index);
}

UnicodeString TStringList::Names(int32_t index) const { return UnicodeString(NamePart(Strings(index))); }

UnicodeString TStringList::ValueFromIndex(int32_t index) const {
  const UnicodeString& line = Strings(index);
  size_t eq = line.find(u'=');
  return eq == UnicodeString::npos ? UnicodeString() : line.substr(eq + 1);
}

UnicodeString TStringList::Values(UnicodeStringView name) const {
  int32_t i = IndexOfName(name);
  return i < 0 ? UnicodeString() : ValueFromIndex(i);
}

void TStringList::SetValues(UnicodeStringView name, const UnicodeString& value) {
  int32_t i = IndexOfName(name);
  if (value.empty()) {
    if (i >= 0) Delete(i);
    return;
  }
  UnicodeString line(name);
  line += u'=';
  line += value;
  if (i < 0)
    Add(line);
  else
    lines_[static_cast<size_t>(i)] = std::move(line);
}

bool TStringList::Same(UnicodeStringView a, UnicodeStringView b) const {
  return caseSensitive_ ? a == b : SameText(a, b);
}

int32_t TStringList::IndexOfName(UnicodeStringView name) const {
  for (size_t i = 0; i < lines_.size(); ++i) {
    const UnicodeString& line = lines_[i];
    // A line without "=" has no name and never matches.
    if (line.find(u'=') == UnicodeString::npos) continue;
    if (Same(NamePart(line), name)) return static_cast<int32_t>(i);
  }
  return -1;
}

int32_t TStringList::IndexOf(UnicodeStringView line) const {
  for (size_t i = 0; i < lines_.size(); ++i)
    if (Same(lines_[i], line)) return static_cast<int32_t>(i);
  return -1;
}

UnicodeString TStringList::Text() const {
  UnicodeString text;
  for (const UnicodeString& line : lines_) {
    text += line;
    text += u"\r\n";
  }
  return text;
}

void TStringList::SetText(UnicodeStringView text) {
  lines_.clear();
  size_t start = 0;
  size_t i = 0;
  while (i < text.size()) {
    char16_t c = text[i];
    if (c == u'\r' || c == u'\n') {
      lines_.emplace_back(text.substr(start, i - start));
      if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
      start = ++i;
    } else {
      ++i;
    }
  }
  if (start < text.size()) lines_.emplace_back(text.substr(start));
}

void TStringList::Sort() {
  if (caseSensitive_) {
    std::stable_sort(lines_.begin(), lines_.end());
  } else {
    std::stable_sort(lines_.begin(), lines_.end(),
                     [](const UnicodeString& a, const UnicodeString& b) { return UpperCase(a) < UpperCase(b); });
  }
}
