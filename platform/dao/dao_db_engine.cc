#include "platform/dao/dao_db_engine.h"

#include "platform/dao/dao_database.h"
#include "platform/automation/dispatch_arguments.h"
#include "platform/dao/dao_connect_string.h"
#include "runtime/exceptions.h"

Variant DaoDbEngine::Invoke(UnicodeStringView member, InvokeKind, const std::vector<Variant>& positional,
                            const std::vector<NamedArgument>& named) {
  if (IsMember(member, u"OpenDatabase")) {
    DispatchArguments args(positional, named, {u"Name", u"Options", u"ReadOnly", u"Connect"});
    if (!args[0].IsSet()) throw EOleError(u"Argument not optional.");
    if (args[3].IsSet() && !args[3].IsString()) throw EOleError(u"Type mismatch.");
    auto database = std::make_shared<DaoDatabase>(args[0].ToString());
    // A protected database opens only with its password (case-sensitive); an
    // unprotected one ignores any password given.
    UnicodeString given = args[3].IsSet() ? ConnectPassword(args[3].AsStringRef()) : UnicodeString();
    if (!database->Password().empty() && database->Password() != given) throw EOleError(u"Not a valid password.");
    return Variant(DispatchRef(std::move(database)));
  }
  if (IsMember(member, u"Version")) {
    ExpectNoArguments(positional, named);
    return Variant(version_);
  }
  ThrowUnknownMember(member);
}
