// A DAO database object over one Access file, read by jet/.
//
// Members:
//   Name                 property; the file path.
//   QueryDefs            property; the saved queries (dao_query_defs.h).
//   OpenRecordset(Name, Type, Options, LockEdit)  method; a recordset of the
//       table `Name` (letter case ignored). Type 1 (table), 2 (dynaset),
//       4 (snapshot) and 8 (forward-only) all read the table in its stored
//       order; Options and LockEdit are accepted and ignored. Raises EOleError
//       when no such table exists, for a linked table, and for a saved query,
//       which this engine cannot run.
//   Close                method; later calls raise "Object invalid or no
//       longer set." Recordsets opened before stay readable.
#pragma once

#include <memory>
#include <vector>

#include "jet/jet_catalog.h"
#include "jet/jet_file.h"
#include "platform/dao/dao_complex_column_types.h"
#include "runtime/dispatch.h"
#include "runtime/variant.h"

class DaoDatabase : public IDispatchObject {
 public:
  // Opens the file and reads its catalog. Raises EOleError: "Could not find
  // file '%s'." when the path does not exist, "Cannot open the file '%s'. You
  // need permission to view its data." when it cannot be read, and
  // "Unrecognized database format '%s'." (followed by the damage found, if
  // any) when it is not a regular file or not an Access database that can be
  // read.
  explicit DaoDatabase(const UnicodeString& path);
  Variant Invoke(UnicodeStringView member, InvokeKind kind, const std::vector<Variant>& positional,
                 const std::vector<NamedArgument>& named) override;
  // The password stored in the file; empty when it has none.
  const UnicodeString& Password() const { return Open().file->Header().password; }

 private:
  // What an open database holds; the recordsets share the file.
  struct OpenFile {
    std::shared_ptr<const JetFile> file;
    JetCatalog catalog;
    DaoComplexColumnTypes complexTypes;
    std::vector<UnicodeString> queryNames;  // in catalog order
  };
  const OpenFile& Open() const;
  Variant OpenRecordset(const UnicodeString& name);

  UnicodeString path_;
  std::shared_ptr<const OpenFile> open_;  // null once closed
};
