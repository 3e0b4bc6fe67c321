#include "platform/dao/dao_database.h"

#include "platform/automation/dispatch_arguments.h"
#include "platform/dao/dao_errors.h"
#include "platform/dao/dao_query_defs.h"
#include "platform/dao/dao_recordset.h"
#include "runtime/exceptions.h"

namespace {

[[noreturn]] void Fail(const char16_t* format, const UnicodeString& path, const UnicodeString& detail) {
  UnicodeString message = FormatText(format, {path});
  if (!detail.empty()) message += u" " + detail;
  throw EOleError(message);
}

std::shared_ptr<const JetFile> OpenJetFile(const UnicodeString& path) {
  try {
    return std::make_shared<const JetFile>(path);
  } catch (const EJetFileError& e) {
    switch (e.reason()) {
      case EJetFileError::kMissing: Fail(u"Could not find file '%s'.", path, e.Message());
      case EJetFileError::kUnreadable:
        Fail(u"Cannot open the file '%s'. You need permission to view its data.", path, e.Message());
      case EJetFileError::kNotADatabase: break;
    }
    Fail(u"Unrecognized database format '%s'.", path, e.Message());
  } catch (const Exception& e) {
    // The code page of a Jet 3 file's text that the platform cannot convert.
    Fail(u"Unrecognized database format '%s'.", path, e.Message());
  }
}

}  // namespace

DaoDatabase::DaoDatabase(const UnicodeString& path) : path_(path) {
  std::shared_ptr<const JetFile> file = OpenJetFile(path);
  try {
    JetCatalog catalog(file);
    DaoComplexColumnTypes complexTypes(file, catalog);
    std::vector<UnicodeString> queries;
    for (const JetCatalog::Object& o : catalog.Objects())
      if (o.IsQuery()) queries.push_back(o.name);
    open_ = std::make_shared<const OpenFile>(
        OpenFile{file, std::move(catalog), std::move(complexTypes), std::move(queries)});
  } catch (const Exception& e) {
    Fail(u"Unrecognized database format '%s'.", path, e.Message());
  }
}

const DaoDatabase::OpenFile& DaoDatabase::Open() const {
  if (!open_) throw EOleError(u"Object invalid or no longer set.");
  return *open_;
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
    return Variant(DispatchRef(std::make_shared<DaoQueryDefs>(Open().queryNames)));
  }
  if (IsMember(member, u"Name")) {
    ExpectNoArguments(positional, named);
    Open();
    return Variant(path_);
  }
  if (IsMember(member, u"Close")) {
    ExpectNoArguments(positional, named);
    Open();
    open_.reset();
    return Variant();
  }
  ThrowUnknownMember(member);
}

Variant DaoDatabase::OpenRecordset(const UnicodeString& name) {
  const OpenFile& open = Open();
  const JetCatalog::Object* table = open.catalog.FindTable(name);
  if (!table) {
    auto named = [&](bool (JetCatalog::Object::*kind)() const) {
      for (const JetCatalog::Object& o : open.catalog.Objects())
        if ((o.*kind)() && SameText(o.name, name)) return true;
      return false;
    };
    if (named(&JetCatalog::Object::IsQuery)) ThrowSavedQueryCannotRun(name);
    if (named(&JetCatalog::Object::IsLinkedTable))
      throw EOleError(FormatText(u"Linked table '%s' cannot be opened: this engine reads local tables only.", {name}));
    throw EOleError(FormatText(
        u"Cannot find the input table or query '%s'. Make sure it exists and that its name is spelled correctly.",
        {name}));
  }
  auto cursor = WithDaoErrors([&] { return std::make_unique<JetTableCursor>(open.file, table->name, table->DefinitionPage()); });
  return Variant(DispatchRef(std::make_shared<DaoRecordset>(std::move(cursor), open.file, open.complexTypes)));
}
