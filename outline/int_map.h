// IntMap: a map from text to a 32-bit integer that answers a fixed default
// value for every key it does not hold.
//
// Keys compare ordinally on UTF-16 code units (no case folding), so keys that
// differ only in letter case are different keys. Get never inserts.
//
// A hash table of its own, open addressing over one array of entry numbers,
// the entries in one array in the order they were first stored: the outline
// parse stores one key per entry and looks many up, and both std::map and
// std::unordered_map spend most of that time on cache misses among nodes
// allocated one by one.
#pragma once

#include <cstdint>
#include <vector>

#include "runtime/unicode_string.h"

class IntMap {
 public:
  explicit IntMap(int32_t defaultValue);

  // The value stored under `key`, or the default when there is none.
  int32_t Get(const UnicodeString& key) const;
  // Stores `value` under `key`, replacing an earlier value.
  void Set(const UnicodeString& key, int32_t value);

 private:
  struct Entry {
    UnicodeString key;
    uint64_t hash;
    int32_t value;
  };
  static uint64_t HashOf(UnicodeStringView key);
  // The slot that holds `key`'s entry, or the empty slot where it would go.
  size_t SlotOf(UnicodeStringView key, uint64_t hash) const;
  // Doubles the slots and places every entry again.
  void Grow();

  int32_t defaultValue_;
  std::vector<Entry> entries_;
  std::vector<uint32_t> slots_;  // entry number + 1, 0 for an empty slot; a power of two long
};
