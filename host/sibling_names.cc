#include "host/sibling_names.h"

#include <algorithm>

#include "platform/unicode_case.h"
#include "runtime/utf8.h"

namespace {

std::string Folded(const std::string& name) {
  if (std::all_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
    std::string upper = name;  // ASCII, most names: no conversion needed
    for (char& c : upper)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return upper;
  }
  return ToUtf8(UnicodeUpperCase(FromUtf8(name)));
}

std::string Numbered(const std::string& stem, size_t n) {
  return n == 1 ? stem : stem + " (" + std::to_string(n) + ")";
}

}  // namespace

std::string SiblingNames::TakeNoteName(const std::string& base) {
  const std::string folded = Folded(base);
  if (TakeNoteKey(folded)) return base;
  for (size_t& n = next_[folded];;) {
    n = std::max<size_t>(n, 1) + 1;
    if (TakeNoteKey(Numbered(folded, n))) return Numbered(base, n);
  }
}

std::string SiblingNames::TakeFileName(const std::string& stem, const std::string& extension) {
  const std::string foldedStem = Folded(stem), foldedExtension = Folded(extension);
  if (taken_.insert(foldedStem + foldedExtension).second) return stem + extension;
  for (size_t& n = next_[foldedStem + foldedExtension];;) {
    n = std::max<size_t>(n, 1) + 1;
    if (taken_.insert(Numbered(foldedStem, n) + foldedExtension).second) return Numbered(stem, n) + extension;
  }
}

bool SiblingNames::TakeNoteKey(const std::string& key) {
  std::string file = key + ".MD";
  if (taken_.count(key) > 0 || taken_.count(file) > 0) return false;
  taken_.insert(key);
  taken_.insert(std::move(file));
  return true;
}
