#include "platform/dao/dao_fields.h"

#include "platform/automation/dispatch_arguments.h"
#include "platform/dao/dao_errors.h"
#include "runtime/exceptions.h"

DaoFields::DaoFields(std::shared_ptr<DaoRecordsetState> state) : state_(std::move(state)) {
  size_t n = state_->columns.size();
  for (size_t i = 0; i < n; ++i) fields_.emplace_back(DispatchRef(std::make_shared<DaoField>(state_, i)));
}

Variant DaoFields::Invoke(UnicodeStringView member, InvokeKind, const std::vector<Variant>& positional,
                          const std::vector<NamedArgument>& named) {
  state_->Cursor();  // raises once the recordset is closed
  const auto& columns = state_->columns;
  if (IsMember(member, u"Item")) {
    DispatchArguments args(positional, named, {u"Item"});
    if (!args[0].IsSet()) throw EOleError(u"Argument not optional.");
    if (args[0].IsString()) {
      for (size_t i = 0; i < columns.size(); ++i)
        if (SameText(columns[i].name, args[0].AsStringRef())) return fields_[i];
    } else {
      int64_t i = args[0].ToInt64();
      if (i >= 0 && i < static_cast<int64_t>(fields_.size())) return fields_[static_cast<size_t>(i)];
    }
    throw EOleError(u"Item not found in this collection.");
  }
  if (IsMember(member, u"Count")) {
    ExpectNoArguments(positional, named);
    return Variant(static_cast<int32_t>(columns.size()));
  }
  ThrowUnknownMember(member);
}

Variant DaoField::Invoke(UnicodeStringView member, InvokeKind, const std::vector<Variant>& positional,
                         const std::vector<NamedArgument>& named) {
  ExpectNoArguments(positional, named);
  JetTableCursor& cursor = state_->Cursor();
  if (IsMember(member, u"Value")) {
    if (!cursor.HasRow()) throw EOleError(u"No current record.");
    return WithDaoErrors([&] { return state_->columns[index_].Value(cursor); });
  }
  const DaoColumn& column = state_->columns[index_];
  if (IsMember(member, u"Name")) return Variant(column.name);
  if (IsMember(member, u"Type")) return Variant(column.type);
  if (IsMember(member, u"Size")) return Variant(column.size);
  if (IsMember(member, u"OrdinalPosition")) return Variant(static_cast<int32_t>(index_));
  ThrowUnknownMember(member);
}
