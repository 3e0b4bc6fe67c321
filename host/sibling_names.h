// SiblingNames: the names taken in one folder of an export, compared as the
// file systems that ignore case compare them (Windows, macOS), so that two
// notes never share a file there. Owns its set of taken names; memory grows
// with the names taken, each look-up costs a case mapping and a hash.
#pragma once

#include <string>
#include <unordered_map>
#include <unordered_set>

class SiblingNames {
 public:
  // `base`, else "base (2)", "base (3)" ...: the first for which neither
  // the folder "base" nor the file "base.md" is taken; takes both.
  std::string TakeNoteName(const std::string& base);
  // "stem.ext", else "stem (2).ext" ...: the first not taken; takes it.
  std::string TakeFileName(const std::string& stem, const std::string& extension);

 private:
  // Takes the folder `key` and the file `key`.MD (upper-cased) if both are free.
  bool TakeNoteKey(const std::string& key);

  std::unordered_set<std::string> taken_;  // upper-cased
  // Per upper-cased stem seen more than once, the last number given, so that
  // many equal titles cost one try each.
  std::unordered_map<std::string, size_t> next_;
};
