#include "platform/dao/dao_recordset.h"

#include <algorithm>

#include "platform/automation/dispatch_arguments.h"
#include "platform/dao/dao_errors.h"
#include "platform/dao/dao_field_types.h"
#include "platform/dao/dao_fields.h"
#include "runtime/exceptions.h"

JetTableCursor& DaoRecordsetState::Cursor() const {
  if (!cursor) throw EOleError(u"Object invalid or no longer set.");
  return *cursor;
}

Variant DaoColumn::Value(JetTableCursor& cursor) const {
  Variant v = cursor.Value(index);
  if (!complex) return v;
  return complexValues && !v.IsNull() ? complexValues->ValueOf(v.ToInt32()) : Variant::Null();
}

DaoRecordset::DaoRecordset(std::unique_ptr<JetTableCursor> cursor, const std::shared_ptr<const JetFile>& file,
                           const DaoComplexColumnTypes& complexTypes)
    : state_(std::make_shared<DaoRecordsetState>()) {
  const bool jet3 = file->IsJet3();
  // Access's own calculated layout wraps each value in 23 more bytes than
  // the result's, which the entry's size counts.
  constexpr int kCalculatedWrapping = 23;
  const auto& columns = cursor->Columns();
  for (size_t i = 0; i < columns.size(); ++i) {
    const JetTableDefinition::Column& c = columns[i];
    const int stored = c.ValueType();
    const int size = c.resultTypeFromProperty ? std::max(c.size - kCalculatedWrapping, 0) : c.size;
    DaoColumn column{c.name, DaoFieldType(stored), DaoFieldSize(stored, size, jet3), i, false, nullptr};
    if (stored == kJetComplex) {
      const DaoComplexColumnTypes::Column* kind = complexTypes.Find(c.complexId);
      if (kind && kind->history) continue;
      column.type = complexTypes.TypeOf(c.complexId);
      column.complex = true;
      if (kind) column.complexValues = std::make_shared<DaoComplexValues>(file, *kind);
    }
    state_->columns.push_back(std::move(column));
  }
  state_->cursor = std::move(cursor);
  WithDaoErrors([&] { return state_->cursor->MoveFirst(); });
  state_->bof = !state_->cursor->HasRow();
}

Variant DaoRecordset::Invoke(UnicodeStringView member, InvokeKind, const std::vector<Variant>& positional,
                             const std::vector<NamedArgument>& named) {
  ExpectNoArguments(positional, named);
  JetTableCursor& cursor = state_->Cursor();
  if (IsMember(member, u"Eof")) return Variant(!cursor.HasRow());
  if (IsMember(member, u"MoveNext")) {
    if (!cursor.HasRow()) throw EOleError(u"No current record.");
    WithDaoErrors([&] { return cursor.MoveNext(); });
    state_->bof = false;
    return Variant();
  }
  if (IsMember(member, u"Fields")) {
    if (fields_.IsEmpty()) fields_ = Variant(DispatchRef(std::make_shared<DaoFields>(state_)));
    return fields_;
  }
  if (IsMember(member, u"MoveFirst")) {
    if (!WithDaoErrors([&] { return cursor.MoveFirst(); })) {
      state_->bof = true;
      throw EOleError(u"No current record.");
    }
    state_->bof = false;
    return Variant();
  }
  if (IsMember(member, u"BOF")) return Variant(state_->bof);
  if (IsMember(member, u"RecordCount")) {
    // The count a table definition records can be stale (Access-written
    // files show it); the rows are counted once, when first asked for.
    if (!state_->recordCount)
      state_->recordCount = WithDaoErrors([&] { return cursor.CountRows(); });
    return Variant(static_cast<int32_t>(std::min<uint64_t>(*state_->recordCount, INT32_MAX)));
  }
  if (IsMember(member, u"Close")) {
    state_->cursor.reset();
    return Variant();
  }
  ThrowUnknownMember(member);
}
