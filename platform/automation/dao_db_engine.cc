#include "platform/automation/dao_db_engine.h"

#include "platform/automation/dao_database.h"
#include "platform/automation/dispatch_arguments.h"
#include "runtime/exceptions.h"

Variant DaoDbEngine::Invoke(UnicodeStringView member, InvokeKind, const std::vector<Variant>& positional,
                            const std::vector<NamedArgument>& named) {
  if (IsMember(member, u"OpenDatabase")) {
    DispatchArguments args(positional, named, {u"Name", u"Options", u"ReadOnly", u"Connect"});
    if (!args[0].IsSet()) throw EOleError(u"Argument not optional.");
    if (args[3].IsSet() && !args[3].IsString()) throw EOleError(u"Type mismatch.");
    return Variant(DispatchRef(std::make_shared<DaoDatabase>(args[0].ToString())));
  }
  if (IsMember(member, u"Version")) {
    ExpectNoArguments(positional, named);
    return Variant(version_);
  }
  ThrowUnknownMember(member);
}
