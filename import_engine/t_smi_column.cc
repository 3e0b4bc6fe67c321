#include "import_engine/t_smi_column.h"

#include "runtime/exceptions.h"

void TSMIColumn::Assign(const TPersistent& source) {
  auto* other = dynamic_cast<const TSMIColumn*>(&source);
  if (!other) return TPersistent::Assign(source);
  if (collection_) collection_->BeginUpdate();
  fieldName_ = other->fieldName_;
  caption_ = other->caption_;
  dataType_ = other->dataType_;
  size_ = other->size_;
  precision_ = other->precision_;
  alignment_ = other->alignment_;
  if (collection_) collection_->EndUpdate();
}

int32_t TSMIColumn::Index() const {
  if (!collection_) return -1;
  for (int32_t i = 0; i < collection_->Count(); ++i)
    if (collection_->items_[static_cast<size_t>(i)].get() == this) return i;
  return -1;
}

void TSMIColumns::Assign(const TPersistent& source) {
  auto* other = dynamic_cast<const TSMIColumns*>(&source);
  if (!other) return TPersistent::Assign(source);
  if (other == this) return;
  BeginUpdate();
  items_.clear();
  for (const auto& column : other->items_) Add()->Assign(*column);
  EndUpdate();
}

TSMIColumn* TSMIColumns::Add() {
  items_.push_back(std::make_unique<TSMIColumn>(this));
  return items_.back().get();
}

TSMIColumn* TSMIColumns::Items(int32_t index) const {
  if (index < 0 || index >= Count())
    throw ERangeError(FormatText(u"List index out of bounds (%d)", {int64_t(index)}));
  return items_[static_cast<size_t>(index)].get();
}
