// Where each delivered document sits in the outline the exports write:
// parents, depths and positions from the delivered levels.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/outline_cursor.h"

namespace {

// Each node as "position@depth" in delivery order.
std::string Shape(const std::vector<int32_t>& levels) {
  OutlineCursor cursor;
  std::string out;
  for (const int32_t level : levels) {
    const OutlinePlace& place = cursor.Next(level);
    out += (out.empty() ? "" : " ") + place.position + "@" + std::to_string(place.depth);
  }
  return out;
}

TEST(OutlineCursorTest, ParentsFollowTheLevels) {
  const struct {
    std::vector<int32_t> levels;
    std::string shape;
  } rows[] = {
      {{}, ""},
      {{0, 0, 0}, "1@0 2@0 3@0"},
      {{0, 1, 2, 1, 0, 1}, "1@0 1.1@1 1.1.1@2 1.2@1 2@0 2.1@1"},
      {{0, 3, 3, 1}, "1@0 1.1@1 1.2@1 1.3@1"},  // a jump nests one step only
      {{2, 0}, "1@0 2@0"},                      // first document below level 0
      {{0, -1, 1}, "1@0 2@0 2.1@1"},            // a negative level at the top
  };
  for (const auto& row : rows) {
    std::string levels;
    for (const int32_t l : row.levels) levels += std::to_string(l) + " ";
    EXPECT_EQ(Shape(row.levels), row.shape) << levels;
  }
}

}  // namespace
