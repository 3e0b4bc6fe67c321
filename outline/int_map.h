// IntMap: an ordered map from text to a 32-bit integer that answers a fixed
// default value for every key it does not hold.
//
// Keys compare ordinally on UTF-16 code units (no case folding), so keys that
// differ only in letter case are different keys. Get never inserts.
#pragma once

#include <cstdint>
#include <map>

#include "runtime/unicode_string.h"

class IntMap {
 public:
  explicit IntMap(int32_t defaultValue);

  // The value stored under `key`, or the default when there is none.
  int32_t Get(const UnicodeString& key) const;
  // Stores `value` under `key`, replacing an earlier value.
  void Set(const UnicodeString& key, int32_t value);

 private:
  int32_t defaultValue_;
  std::map<UnicodeString, int32_t> entries_;
};
