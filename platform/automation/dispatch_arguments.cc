#include "platform/automation/dispatch_arguments.h"

#include "runtime/exceptions.h"

DispatchArguments::DispatchArguments(const std::vector<Variant>& positional,
                                     const std::vector<NamedArgument>& named,
                                     std::initializer_list<const char16_t*> parameters)
    : values_(parameters.size()) {
  if (positional.size() > parameters.size()) throw EOleError(u"Invalid number of parameters.");
  std::vector<bool> given(parameters.size(), false);
  for (size_t i = 0; i < positional.size(); ++i) {
    values_[i] = positional[i];
    given[i] = true;
  }
  for (const NamedArgument& arg : named) {
    size_t index = 0;
    for (const char16_t* p : parameters) {
      if (SameTextAscii(arg.name, p)) break;
      ++index;
    }
    if (index == parameters.size()) throw EOleError(u"Unknown name.");
    if (given[index]) throw EOleError(u"Invalid number of parameters.");
    values_[index] = arg.value;
    given[index] = true;
  }
}

void ExpectNoArguments(const std::vector<Variant>& positional, const std::vector<NamedArgument>& named) {
  if (!positional.empty() || !named.empty()) throw EOleError(u"Invalid number of parameters.");
}

void ThrowUnknownMember(UnicodeStringView member) {
  throw EOleError(FormatText(u"Unknown name: '%s'.", {UnicodeString(member)}));
}
