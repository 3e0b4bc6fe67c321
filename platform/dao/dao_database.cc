#include "platform/dao/dao_database.h"

#include "platform/dao/dao_query_defs.h"
#include "platform/dao/dao_recordset.h"
#include "platform/automation/dispatch_arguments.h"
#include "runtime/exceptions.h"

DaoDatabase::DaoDatabase(const UnicodeString& path) : file_(std::make_shared<MdbDatabaseFile>(path)) {}

const MdbDatabaseFile& DaoDatabase::File() const {
  if (!file_) throw EOleError(u"Object invalid or no longer set.");
  return *file_;
}

Variant DaoDatabase::Invoke(UnicodeStringView member, InvokeKind, const std::vector<Variant>& positional,
                            const std::vector<NamedArgument>& named) {
  if (IsMember(member, u"OpenRecordset")) {
    DispatchArguments args(positional, named, {u"Name", u"Type", u"Options", u"LockEdit"});
    if (!args[0].IsSet()) throw EOleError(u"Argument not optional.");
    if (args.Has(1)) {
      int64_t type = args[1].ToInt64();
      if (type != 1 && type != 2 && type != 4 && type != 8) throw EOleError(u"Invalid argument.");
    }
    return OpenRecordset(args[0].ToString());
  }
  if (IsMember(member, u"QueryDefs")) {
    ExpectNoArguments(positional, named);
    return Variant(DispatchRef(std::make_shared<DaoQueryDefs>(File().QueryNames())));
  }
  if (IsMember(member, u"Name")) {
    ExpectNoArguments(positional, named);
    return Variant(File().Path());
  }
  if (IsMember(member, u"Close")) {
    ExpectNoArguments(positional, named);
    File();
    file_.reset();
    return Variant();
  }
  ThrowUnknownMember(member);
}

Variant DaoDatabase::OpenRecordset(const UnicodeString& name) {
  const MdbDatabaseFile& file = File();
  int index = file.FindTable(name);
  if (index < 0) {
    if (file.IsQuery(name)) ThrowSavedQueryCannotRun(name);
    if (file.IsLinkedTable(name))
      throw EOleError(FormatText(u"Linked table '%s' cannot be opened: this engine reads local tables only.", {name}));
    throw EOleError(FormatText(
        u"Cannot find the input table or query '%s'. Make sure it exists and that its name is spelled correctly.",
        {name}));
  }
  return Variant(DispatchRef(std::make_shared<DaoRecordset>(std::make_unique<MdbTableCursor>(file_, index))));
}
