// DAO's Fields collection of a recordset and its Field objects.
//
// Fields: Count (property), Item(Index) (property; index from 0, or a name
// with letter case ignored; the same Field object for the same column every
// time). Field: Value (the current record's value, see jet/jet_table_cursor.h),
// Name, Type (DAO type code), Size (DAO size), OrdinalPosition; all
// properties.
#pragma once

#include <memory>
#include <vector>

#include "platform/dao/dao_recordset.h"
#include "runtime/dispatch.h"
#include "runtime/variant.h"

class DaoFields : public IDispatchObject {
 public:
  explicit DaoFields(std::shared_ptr<DaoRecordsetState> state);
  Variant Invoke(UnicodeStringView member, InvokeKind kind, const std::vector<Variant>& positional,
                 const std::vector<NamedArgument>& named) override;

 private:
  std::shared_ptr<DaoRecordsetState> state_;
  std::vector<Variant> fields_;
};

class DaoField : public IDispatchObject {
 public:
  DaoField(std::shared_ptr<DaoRecordsetState> state, size_t index) : state_(std::move(state)), index_(index) {}
  Variant Invoke(UnicodeStringView member, InvokeKind kind, const std::vector<Variant>& positional,
                 const std::vector<NamedArgument>& named) override;

 private:
  std::shared_ptr<DaoRecordsetState> state_;
  size_t index_;
};
