// MsAccessImporter: loads one named table of an Access database file into
// an in-memory dataset.
//
// The loader owns one TSMImportFromAccess component (created by the
// constructor with no owner, destroyed first by the destructor) and answers
// its structure event: it defines one dataset field per detected column,
// creates the dataset and, when a key field is named, adds and selects the
// primary index "<key field>Index". The dataset belongs to the caller; the
// loader never touches it after Load returns.
//
// Calling order: constructor, SetKeyField, Load (once), destructor. The
// loader is neither copied nor assigned.
#pragma once

#include <memory>

#include "outline/field_sizes.h"
#include "runtime/unicode_string.h"

class TClientDataSet;
class TComponent;
class TSMIColumns;
class TSMImportFromAccess;

class MsAccessImporter {
 public:
  // Creates and configures the import component on `dataSet` (not owned).
  explicit MsAccessImporter(TClientDataSet* dataSet);
  ~MsAccessImporter();
  MsAccessImporter(const MsAccessImporter&) = delete;
  MsAccessImporter& operator=(const MsAccessImporter&) = delete;

  // Names the key field; an empty name (the initial state) builds no index.
  void SetKeyField(const UnicodeString& name);

  // Loads table `tableName` of the database at `path` into the dataset.
  // Failures inside the import run are recorded in the component and not
  // raised; a required property left empty ("Property %s wasn't
  // specified.") is raised.
  void Load(const UnicodeString& path, const UnicodeString& tableName);

  // The component's OnCreateStructure handler: defines the dataset from
  // `columns`, creates it, maps the columns and builds the key index.
  void CreateStructure(TComponent* sender, TSMIColumns& columns);

 private:
  TClientDataSet* dataSet_;                        // not owned
  std::unique_ptr<TSMImportFromAccess> importer_;  // owned
  FieldSizes fieldSizes_;
  UnicodeString keyFieldName_;
};
