// Test double of MsAccessImporter (link-time substitution: link
// arvoline_fake_ms_access_importer instead of the real loader).
//
// It defines and fills the dataset the way the real loader does — one field
// per column (a size of 0 first becomes the FieldSizes default, text columns
// give string fields of their size, yes/no columns boolean fields, memo
// columns memo fields, every other kind a string field of size 30; names cut
// to 31 characters), CreateDataSet, LogChanges off, the primary index
// "<key field>Index" selected, then one appended row per table row — but it
// takes its tables from a registry or a fixture file instead of an Access
// file:
//
//   1. a table registered with FakeAccessDatabases::Register under the path
//      and table name;
//   2. otherwise the path is read as a JSON fixture file:
//        {"tables": {"<table>": {
//           "columns": [{"name": "NodeKeyValue", "type": "string", "size": 50},
//                       {"name": "NodeTextValue", "type": "memo"}, ...],
//           "rows": [["~Arvo32XT", "04Root..."], ["A1", null], ...]}}}
//      Types: string, integer, float, datetime, date, time, boolean, blob,
//      memo, graphic; "size" defaults to 0. Row cells are text, true/false,
//      numbers or null.
//   3. otherwise the database "cannot be opened": like the real loader,
//      Load returns normally and leaves the dataset closed.
// An empty path or table name raises "Property %s wasn't specified." with
// SourceFileName or TableName, as the import engine does.
#pragma once

#include <vector>

#include "import_engine/smi_types.h"
#include "runtime/unicode_string.h"
#include "runtime/variant.h"

class TClientDataSet;

struct FakeColumn {
  UnicodeString name;
  TSMIDataType type = itString;
  int32_t size = 0;
};

struct FakeTable {
  std::vector<FakeColumn> columns;
  std::vector<std::vector<Variant>> rows;
};

class FakeAccessDatabases {
 public:
  static void Register(const UnicodeString& path, const UnicodeString& tableName, FakeTable table);
  static void Clear();
};

// What the loaders did, for tests that check how the importer drives them.
struct FakeLoaderProbe {
  int constructed = 0;
  int destroyed = 0;
  UnicodeString keyField;
  UnicodeString path;
  UnicodeString tableName;
  TClientDataSet* dataSet = nullptr;  // the last dataset a loader was built on

  static FakeLoaderProbe& Instance();
  static void Reset() { Instance() = FakeLoaderProbe(); }
};
