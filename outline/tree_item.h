// TreeItem: one node of an outline, a plain value type copied freely.
#pragma once

#include <cstdint>

#include "runtime/unicode_string.h"

struct TreeItem {
  UnicodeString key;    // the node's key; its record in the node table is found by it
  int32_t level = 0;    // depth below the root: 0 for a child of the root
  UnicodeString title;  // the node's title

  bool operator==(const TreeItem& other) const {
    return key == other.key && level == other.level && title == other.title;
  }
  bool operator!=(const TreeItem& other) const { return !(*this == other); }
};
