// Lets GoogleTest print TreeItem values in failure messages.
#pragma once

#include <ostream>

#include "outline/tree_item.h"
#include "runtime/utf8.h"

inline void PrintTo(const TreeItem& item, std::ostream* os) {
  *os << "(" << ToUtf8(item.key) << ", " << item.level << ", " << ToUtf8(item.title) << ")";
}
