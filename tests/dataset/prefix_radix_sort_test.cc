// PrefixRadixSort against std::sort with the same order, on inputs that reach
// each of its paths: skipped passes, ties of prefix decided by the whole key,
// prefixes that differ only in their high or low bytes, a descending order.
#include "dataset/prefix_radix_sort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace {

// A prefix and the rest of a key; `seq` keeps equal keys apart, as a row's
// position does.
struct Item {
  uint64_t prefix;
  int rest;
  int seq;
  bool operator==(const Item& o) const { return prefix == o.prefix && rest == o.rest && seq == o.seq; }
};

TEST(PrefixRadixSort, OrdersAsTheComparatorDoes) {
  const struct {
    const char* name;
    int count;
    uint64_t prefixMask;  // which bits of a random prefix are kept
    int restValues;       // how many different rests
    bool descending;      // prefixes in descending order, given complemented
  } cases[] = {
      {"empty", 0, ~0ull, 1, false},
      {"one item", 1, ~0ull, 1, false},
      {"distinct prefixes", 5000, ~0ull, 1, false},
      {"every prefix equal: the comparator alone", 3000, 0, 50, false},
      {"few prefixes, ties decided by the rest", 5000, 0x0300000000000003ull, 7, false},
      {"prefixes differing in the high byte only", 4000, 0xFF00000000000000ull, 3, false},
      {"prefixes differing in the low byte only", 4000, 0x00000000000000FFull, 3, false},
      {"text-like prefixes, shared leading bytes", 6000, 0x0000FFFF00FF0000ull, 4, false},
      {"descending", 2000, 0xFFFF, 3, true},
  };
  std::mt19937_64 random(7);
  for (const auto& c : cases) {
    auto less = [&c](const Item& a, const Item& b) {
      if (a.prefix != b.prefix) return c.descending ? b.prefix < a.prefix : a.prefix < b.prefix;
      return a.rest != b.rest ? a.rest < b.rest : a.seq < b.seq;
    };
    std::vector<Item> items;
    for (int i = 0; i < c.count; ++i)
      items.push_back({(random() & c.prefixMask) | 0x4B00000000000000ull, static_cast<int>(random() % c.restValues), i});
    std::vector<Item> expected = items;
    std::sort(expected.begin(), expected.end(), less);
    PrefixRadixSort(items, [&c](const Item& item) { return c.descending ? ~item.prefix : item.prefix; }, less);
    EXPECT_EQ(items, expected) << c.name;
  }
}

}  // namespace
