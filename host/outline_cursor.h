// OutlineCursor: where each document of an outline delivered in order sits.
// A document's parent is the nearest document before it at a lower level (a
// level that jumps by more than one nests one step only), so the place of
// each document follows from the levels before it.
//
// The cursor keeps one entry per open level: its memory grows with the
// outline's depth, not with the number of documents, which lets an export
// write each document as it arrives.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct OutlinePlace {
  size_t depth = 0;         // 0 for a top-level document
  size_t siblingIndex = 0;  // 0-based position among its parent's children
  std::string position;     // "1.2.3": sibling numbers from the top
};

class OutlineCursor {
 public:
  // The place of the next document, which the plug-in delivered at `level`.
  const OutlinePlace& Next(int32_t level);

 private:
  struct Open {
    int32_t level;
    size_t children;
    OutlinePlace place;
  };
  std::vector<Open> open_;  // the path from the top to the last document
  size_t roots_ = 0;
};
