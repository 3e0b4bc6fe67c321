#include "outline/int_map.h"

IntMap::IntMap(int32_t defaultValue) : defaultValue_(defaultValue) {}

int32_t IntMap::Get(const UnicodeString& key) const {
  auto it = entries_.find(key);
  return it == entries_.end() ? defaultValue_ : it->second;
}

void IntMap::Set(const UnicodeString& key, int32_t value) { entries_.insert_or_assign(key, value); }
