// A DAO database object over one Access file read with libmdb.
//
// Members:
//   Name                 property; the file path.
//   QueryDefs            property; the saved queries (dao_query_defs.h).
//   OpenRecordset(Name, Type, Options, LockEdit)  method; a recordset of the
//       table `Name` (letter case ignored). Type 1 (table), 2 (dynaset),
//       4 (snapshot) and 8 (forward-only) all read the table in its stored
//       order; Options and LockEdit are accepted and ignored. Raises EOleError
//       when no such table exists, and for a saved query, which this engine
//       cannot run.
//   Close                method; later calls raise "Object invalid or no
//       longer set." Recordsets opened before stay readable.
#pragma once

#include <memory>

#include "jet/mdb_database_file.h"
#include "runtime/dispatch.h"
#include "runtime/variant.h"

class DaoDatabase : public IDispatchObject {
 public:
  // Opens the file; raises the EOleError of MdbDatabaseFile.
  explicit DaoDatabase(const UnicodeString& path);
  Variant Invoke(UnicodeStringView member, InvokeKind kind, const std::vector<Variant>& positional,
                 const std::vector<NamedArgument>& named) override;
  // The password stored in the file; empty when it has none.
  const UnicodeString& Password() const { return File().Password(); }

 private:
  const MdbDatabaseFile& File() const;
  Variant OpenRecordset(const UnicodeString& name);

  std::shared_ptr<MdbDatabaseFile> file_;  // null once closed
};
