#include "outline/tree_items_collection.h"

#include "runtime/exceptions.h"

void TreeItemsCollection::Add(const TreeItem& item) { items_.push_back(item); }

void TreeItemsCollection::Add(TreeItem&& item) { items_.push_back(std::move(item)); }

void TreeItemsCollection::Reserve(int32_t count) {
  if (count > 0) items_.reserve(static_cast<size_t>(count));
}

int32_t TreeItemsCollection::Count() const { return static_cast<int32_t>(items_.size()); }

TreeItem TreeItemsCollection::Item(int32_t index) const {
  if (index < 0 || index >= Count()) throw ERangeError(u"Requested tree item is out of bounds");
  return items_[static_cast<size_t>(index)];
}
