#include "runtime/component.h"

#include <gtest/gtest.h>

#include "runtime/exceptions.h"

namespace {

class Watcher : public TComponent {
 public:
  using TComponent::TComponent;
  TComponent* watched = nullptr;
  void Watch(TComponent* c) {
    watched = c;
    FreeNotification(c);
  }

 protected:
  void Notification(TComponent* c, TOperation op) override {
    if (op == TOperation::opRemove && c == watched) watched = nullptr;
  }
};

}  // namespace

TEST(Component, OwnerFreesWhatItOwns) {
  auto* owner = new TComponent(nullptr);
  auto* child = new TComponent(owner);
  child->SetName(u"Child");
  EXPECT_EQ(owner->ComponentCount(), 1);
  EXPECT_EQ(owner->FindComponent(u"child"), child);
  delete child;  // an owned component freed first leaves its owner
  EXPECT_EQ(owner->ComponentCount(), 0);
  new TComponent(owner);
  delete owner;  // and the rest go with the owner (checked by the sanitizer build)
}

TEST(Component, FreeNotificationClearsReferences) {
  Watcher w;
  auto* target = new TComponent(nullptr);
  w.Watch(target);
  delete target;
  EXPECT_EQ(w.watched, nullptr);
  // The link is gone both ways: destroying the watcher later is harmless.
  auto* second = new TComponent(nullptr);
  {
    Watcher w2;
    w2.Watch(second);
  }
  delete second;
}

TEST(Component, PersistentAssignRefusesUnknownSources) {
  TComponent a, b;
  EXPECT_THROW(a.Assign(b), EConvertError);
}
