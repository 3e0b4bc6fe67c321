// DAO's QueryDefs collection and its QueryDef objects, listing the saved
// queries of a database from its catalog.
//
// QueryDefs: Count (property), Item(Index) (property; index from 0, or a
// name with letter case ignored). QueryDef: Name (property) and
// OpenRecordset (method), which raises EOleError: this engine reads tables
// only and cannot run a query's SQL.
#pragma once

#include <vector>

#include "runtime/dispatch.h"
#include "runtime/variant.h"

// The error of running a saved query.
[[noreturn]] void ThrowSavedQueryCannotRun(const UnicodeString& name);

class DaoQueryDefs : public IDispatchObject {
 public:
  explicit DaoQueryDefs(std::vector<UnicodeString> names) : names_(std::move(names)) {}
  Variant Invoke(UnicodeStringView member, InvokeKind kind, const std::vector<Variant>& positional,
                 const std::vector<NamedArgument>& named) override;

 private:
  std::vector<UnicodeString> names_;
};

class DaoQueryDef : public IDispatchObject {
 public:
  explicit DaoQueryDef(UnicodeString name) : name_(std::move(name)) {}
  Variant Invoke(UnicodeStringView member, InvokeKind kind, const std::vector<Variant>& positional,
                 const std::vector<NamedArgument>& named) override;

 private:
  UnicodeString name_;
};
