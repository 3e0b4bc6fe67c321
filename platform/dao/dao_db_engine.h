// The DAO engine object ("DAO.DBEngine.36" / ".35" on Linux).
//
// Members (names ignore ASCII case, properties answer both kinds of call):
//   OpenDatabase(Name, Options, ReadOnly, Connect)  method; returns a
//       database object. Name is the file path. Options and ReadOnly are
//       accepted and ignored (files are always read-only here). Connect may
//       carry ";PWD=password": a database with a password opens only when it
//       is given exactly ("Not a valid password." otherwise).
//   Version  property; "3.6" or "3.5" after the class name that created it.
//
// The objects it hands out (database, saved queries, recordsets, fields) live
// in dao_database.h, dao_query_defs.h, dao_recordset.h and dao_fields.h; each
// keeps what it needs alive itself, so releasing the engine early is safe.
#pragma once

#include "runtime/dispatch.h"
#include "runtime/variant.h"

class DaoDbEngine : public IDispatchObject {
 public:
  explicit DaoDbEngine(UnicodeString version) : version_(std::move(version)) {}
  Variant Invoke(UnicodeStringView member, InvokeKind kind, const std::vector<Variant>& positional,
                 const std::vector<NamedArgument>& named) override;

 private:
  UnicodeString version_;
};
