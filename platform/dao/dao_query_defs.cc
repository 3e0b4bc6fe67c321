#include "platform/dao/dao_query_defs.h"

#include "platform/automation/dispatch_arguments.h"
#include "runtime/exceptions.h"

void ThrowSavedQueryCannotRun(const UnicodeString& name) {
  throw EOleError(FormatText(u"Saved query '%s' cannot be run: this engine reads tables only.", {name}));
}

Variant DaoQueryDefs::Invoke(UnicodeStringView member, InvokeKind, const std::vector<Variant>& positional,
                             const std::vector<NamedArgument>& named) {
  if (IsMember(member, u"Count")) {
    ExpectNoArguments(positional, named);
    return Variant(static_cast<int32_t>(names_.size()));
  }
  if (IsMember(member, u"Item")) {
    DispatchArguments args(positional, named, {u"Item"});
    if (!args[0].IsSet()) throw EOleError(u"Argument not optional.");
    if (args[0].IsString()) {
      for (const UnicodeString& n : names_)
        if (SameText(n, args[0].AsStringRef())) return Variant(DispatchRef(std::make_shared<DaoQueryDef>(n)));
    } else {
      int64_t i = args[0].ToInt64();
      if (i >= 0 && i < static_cast<int64_t>(names_.size()))
        return Variant(DispatchRef(std::make_shared<DaoQueryDef>(names_[static_cast<size_t>(i)])));
    }
    throw EOleError(u"Item not found in this collection.");
  }
  ThrowUnknownMember(member);
}

Variant DaoQueryDef::Invoke(UnicodeStringView member, InvokeKind, const std::vector<Variant>& positional,
                            const std::vector<NamedArgument>& named) {
  if (IsMember(member, u"Name")) {
    ExpectNoArguments(positional, named);
    return Variant(name_);
  }
  if (IsMember(member, u"OpenRecordset")) {
    DispatchArguments args(positional, named, {u"Type", u"Options", u"LockEdit"});
    ThrowSavedQueryCannotRun(name_);
  }
  ThrowUnknownMember(member);
}
