// Binding of the positional and named arguments of one late-bound call to a
// member's parameter list, the way an automation server maps them.
//
// Positional arguments fill the parameters from the first; named arguments
// find their parameter by name, ignoring ASCII case. A parameter left without
// an argument reads as Empty (an omitted optional argument).
#pragma once

#include <initializer_list>
#include <vector>

#include "runtime/unicode_string.h"
#include "runtime/variant.h"

class DispatchArguments {
 public:
  // Raises EOleError "Invalid number of parameters." for more positional
  // arguments than parameters, "Unknown name." for a named argument the
  // member has no parameter for, and "Invalid number of parameters." for a
  // parameter given twice.
  DispatchArguments(const std::vector<Variant>& positional, const std::vector<NamedArgument>& named,
                    std::initializer_list<const char16_t*> parameters);

  // The argument of parameter `index`, Empty when it was omitted.
  const Variant& operator[](size_t index) const { return values_[index]; }
  bool Has(size_t index) const { return !values_[index].IsEmpty(); }

 private:
  std::vector<Variant> values_;
};

// Raises EOleError "Invalid number of parameters." unless the call has no
// argument at all (for properties and methods without parameters).
void ExpectNoArguments(const std::vector<Variant>& positional, const std::vector<NamedArgument>& named);

// Member name comparison of automation: ASCII letters ignore case.
inline bool IsMember(UnicodeStringView member, UnicodeStringView name) {
  return SameUnits(member, name) || SameTextAscii(member, name);  // callers mostly write names as declared
}

// The error for a member the object does not have.
[[noreturn]] void ThrowUnknownMember(UnicodeStringView member);
