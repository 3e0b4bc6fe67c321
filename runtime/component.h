// Persistent objects and components: ownership and free notification.
//
// TPersistent supplies Assign (copy the content of another object of a kind
// the receiver understands). TComponent adds an optional owner and a name:
// an owner destroys the components it owns when it is destroyed, and a
// component destroyed first removes itself from its owner. Free
// notification links two components so that each hears (through
// Notification with opRemove) when the other is being destroyed, which is
// how a component drops references to objects it does not own.
//
// Components with an owner are freed by that owner; never also hold them in
// a unique_ptr. Components without an owner belong to whoever created them.
#pragma once

#include <vector>

#include "runtime/unicode_string.h"

enum class TOperation { opInsert, opRemove };

class TPersistent {
 public:
  virtual ~TPersistent() = default;
  // Copies the content of `source`. The base raises EConvertError
  // "Cannot assign a <source class> to a <this class>".
  virtual void Assign(const TPersistent& source);
  virtual UnicodeString ClassName() const { return u"TPersistent"; }
};

class TComponent : public TPersistent {
 public:
  explicit TComponent(TComponent* owner = nullptr);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  UnicodeString ClassName() const override { return u"TComponent"; }

  TComponent* Owner() const { return owner_; }
  const UnicodeString& Name() const { return name_; }
  void SetName(const UnicodeString& name) { name_ = name; }

  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Components(int index) const { return components_.at(static_cast<size_t>(index)); }
  // The owned component of that name (ignoring case), or nullptr.
  TComponent* FindComponent(UnicodeStringView name) const;

  // Links this component and `other` both ways: each is told when the other
  // is destroyed. Linking twice is harmless.
  void FreeNotification(TComponent* other);
  void RemoveFreeNotification(TComponent* other);

  // True while the destructor runs.
  bool Destroying() const { return destroying_; }

 protected:
  // Called with opRemove when a linked or owned component is being destroyed.
  virtual void Notification(TComponent* component, TOperation operation);
  // Subclasses call this first in their own destructor so that linked
  // components are told while the subclass's members are still alive.
  void NotifyDestruction();

 private:
  void InsertComponent(TComponent* c);
  void RemoveComponent(TComponent* c);

  TComponent* owner_ = nullptr;
  UnicodeString name_;
  std::vector<TComponent*> components_;
  std::vector<TComponent*> freeNotifies_;
  bool destroying_ = false;
  bool notified_ = false;
};

// The application object: the root owner of process-wide components. Named
// datasets registered here (owned by it, or linked with SetName) are what
// "dataset.field" names in import expressions find first.
TComponent& Application();
