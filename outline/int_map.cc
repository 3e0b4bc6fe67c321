#include "outline/int_map.h"

#include <functional>

namespace {

constexpr size_t kInitialSlots = 64;

}  // namespace

IntMap::IntMap(int32_t defaultValue) : defaultValue_(defaultValue) {}

uint64_t IntMap::HashOf(UnicodeStringView key) { return std::hash<UnicodeStringView>()(key); }

size_t IntMap::SlotOf(UnicodeStringView key, uint64_t hash) const {
  const size_t mask = slots_.size() - 1;
  for (size_t i = hash & mask;; i = (i + 1) & mask) {
    const uint32_t n = slots_[i];
    if (n == 0) return i;
    const Entry& e = entries_[n - 1];
    if (e.hash == hash && SameUnits(e.key, key)) return i;
  }
}

int32_t IntMap::Get(const UnicodeString& key) const {
  if (slots_.empty()) return defaultValue_;
  const uint32_t n = slots_[SlotOf(key, HashOf(key))];
  return n == 0 ? defaultValue_ : entries_[n - 1].value;
}

void IntMap::Set(const UnicodeString& key, int32_t value) {
  // At most half the slots are taken, so every search ends at an empty one.
  if ((entries_.size() + 1) * 2 > slots_.size()) Grow();
  const uint64_t hash = HashOf(key);
  const size_t slot = SlotOf(key, hash);
  if (slots_[slot] != 0) {
    entries_[slots_[slot] - 1].value = value;
    return;
  }
  entries_.push_back(Entry{key, hash, value});
  slots_[slot] = static_cast<uint32_t>(entries_.size());
}

void IntMap::Grow() {
  std::vector<uint32_t> slots(slots_.empty() ? kInitialSlots : slots_.size() * 2, 0);
  slots_.swap(slots);
  const size_t mask = slots_.size() - 1;
  for (size_t n = 0; n < entries_.size(); ++n) {
    size_t i = entries_[n].hash & mask;
    while (slots_[i] != 0) i = (i + 1) & mask;
    slots_[i] = static_cast<uint32_t>(n + 1);
  }
}
