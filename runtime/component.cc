#include "runtime/component.h"

#include <algorithm>

#include "runtime/exceptions.h"

void TPersistent::Assign(const TPersistent& source) {
  throw EConvertError(FormatText(u"Cannot assign a %s to a %s", {source.ClassName(), ClassName()}));
}

TComponent::TComponent(TComponent* owner) : owner_(owner) {
  if (owner_) owner_->InsertComponent(this);
}

TComponent::~TComponent() {
  NotifyDestruction();
  // Owned components go first; each removes itself from components_.
  while (!components_.empty()) {
    TComponent* c = components_.back();
    components_.pop_back();
    c->owner_ = nullptr;
    delete c;
  }
  if (owner_) owner_->RemoveComponent(this);
}

void TComponent::NotifyDestruction() {
  if (notified_) return;
  notified_ = true;
  destroying_ = true;
  // Copy: handlers may unlink themselves while being told.
  std::vector<TComponent*> linked = freeNotifies_;
  for (TComponent* c : linked) {
    c->Notification(this, TOperation::opRemove);
    auto& theirs = c->freeNotifies_;
    theirs.erase(std::remove(theirs.begin(), theirs.end(), this), theirs.end());
  }
  freeNotifies_.clear();
  if (owner_) owner_->Notification(this, TOperation::opRemove);
}

TComponent* TComponent::FindComponent(UnicodeStringView name) const {
  if (name.empty()) return nullptr;
  for (TComponent* c : components_)
    if (SameText(c->Name(), name)) return c;
  return nullptr;
}

void TComponent::FreeNotification(TComponent* other) {
  if (!other || other == this) return;
  if (std::find(freeNotifies_.begin(), freeNotifies_.end(), other) == freeNotifies_.end())
    freeNotifies_.push_back(other);
  auto& theirs = other->freeNotifies_;
  if (std::find(theirs.begin(), theirs.end(), this) == theirs.end()) theirs.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* other) {
  if (!other) return;
  freeNotifies_.erase(std::remove(freeNotifies_.begin(), freeNotifies_.end(), other), freeNotifies_.end());
  auto& theirs = other->freeNotifies_;
  theirs.erase(std::remove(theirs.begin(), theirs.end(), this), theirs.end());
}

void TComponent::Notification(TComponent*, TOperation) {}

void TComponent::InsertComponent(TComponent* c) { components_.push_back(c); }

void TComponent::RemoveComponent(TComponent* c) {
  components_.erase(std::remove(components_.begin(), components_.end(), c), components_.end());
}

TComponent& Application() {
  // Never destroyed: components registered with it may outlive static
  // destruction order.
  static TComponent* application = [] {
    auto* app = new TComponent(nullptr);
    app->SetName(u"Application");
    return app;
  }();
  return *application;
}
