#include "import_engine/t_smi_parameters.h"

#include "runtime/exceptions.h"

void TSMIParameter::Assign(const TPersistent& source) {
  auto* other = dynamic_cast<const TSMIParameter*>(&source);
  if (!other) return TPersistent::Assign(source);
  caption_ = other->caption_;
  name_ = other->name_;
  expression_ = other->expression_;
  description_ = other->description_;
  promptValues_.Assign(other->promptValues_);
  editor_ = other->editor_;
  mode_ = other->mode_;
  required_ = other->required_;
  value_ = other->value_;
}

void TSMIParameters::Assign(const TPersistent& source) {
  auto* other = dynamic_cast<const TSMIParameters*>(&source);
  if (!other) return TPersistent::Assign(source);
  if (other == this) return;
  items_.clear();
  for (const auto& item : other->items_) Add()->Assign(*item);
}

TSMIParameter* TSMIParameters::Add() {
  items_.push_back(std::make_unique<TSMIParameter>());
  return items_.back().get();
}

TSMIParameter* TSMIParameters::Items(int32_t index) const {
  if (index < 0 || index >= Count())
    throw ERangeError(FormatText(u"List index out of bounds (%d)", {int64_t(index)}));
  return items_[static_cast<size_t>(index)].get();
}

TSMIParameter* TSMIParameters::ParamByName(UnicodeStringView name) const {
  for (const auto& item : items_)
    if (item->Name() == name) return item.get();
  return nullptr;
}
