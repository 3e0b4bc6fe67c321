// TreeItemsCollection: the tree items of one outline, in the order they were
// added. Holds copies; nothing removes an item once added.
#pragma once

#include <cstdint>
#include <vector>

#include "outline/tree_item.h"

class TreeItemsCollection {
 public:
  // Appends a copy of `item` at the end.
  void Add(const TreeItem& item);
  void Add(TreeItem&& item);
  // Makes room for `count` items in all, so that adding up to that many
  // moves none of those already held.
  void Reserve(int32_t count);
  int32_t Count() const;
  // A copy of the item at the 0-based `index`; an index outside
  // 0..Count()-1 raises ERangeError "Requested tree item is out of bounds".
  TreeItem Item(int32_t index) const;

 private:
  std::vector<TreeItem> items_;
};
