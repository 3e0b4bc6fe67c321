// Late-bound dispatch: an object whose members are called by name at run
// time, the way a variant holding an automation object is used.
//
// The runtime only defines the calling interface; platform/automation/
// creates objects by class name and supplies their implementations. Objects
// are shared: every Variant holding one keeps it alive, and releasing the
// last reference releases the object.
#pragma once

#include <memory>
#include <vector>

#include "runtime/unicode_string.h"

class Variant;

struct NamedArgument;

// How a member is invoked.
enum class InvokeKind {
  Method,       // call a method
  PropertyGet,  // read a property (an indexed one takes its index as argument)
};

class IDispatchObject {
 public:
  virtual ~IDispatchObject() = default;
  // Calls `member` with the positional arguments in order and the named
  // arguments by name. Raises EOleError when the member is unknown or the
  // server reports a failure.
  virtual Variant Invoke(UnicodeStringView member, InvokeKind kind, const std::vector<Variant>& positional,
                         const std::vector<NamedArgument>& named) = 0;
};

using DispatchRef = std::shared_ptr<IDispatchObject>;
