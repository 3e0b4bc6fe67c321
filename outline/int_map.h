// IntMap: an ordered map from text to a 32-bit integer that answers a fixed
// default value for every key it does not hold.
//
// Keys compare ordinally on UTF-16 code units (no case folding), so keys that
// differ only in letter case are different keys. Get never inserts.
//
// Storage: the tree's nodes come from a pool the map owns, so that the nodes
// of one map lie together in memory, whatever else is allocated between two
// Sets. The outline parser's level map takes one node per node key and looks
// up every entry's parent, so its searches walk these nodes all through a
// parse. Nothing is ever removed, so the pool only grows; all of it is
// released with the map. A node costs about 80 bytes (the key's text beyond
// seven code units is allocated on its own).
#pragma once

#include <cstdint>
#include <map>
#include <memory_resource>

#include "runtime/unicode_string.h"

class IntMap {
 public:
  explicit IntMap(int32_t defaultValue);
  IntMap(const IntMap&) = delete;
  IntMap& operator=(const IntMap&) = delete;

  // The value stored under `key`, or the default when there is none.
  int32_t Get(const UnicodeString& key) const;
  // Stores `value` under `key`, replacing an earlier value.
  void Set(const UnicodeString& key, int32_t value);

 private:
  int32_t defaultValue_;
  std::pmr::monotonic_buffer_resource pool_;
  std::pmr::map<UnicodeString, int32_t> entries_{&pool_};
};
