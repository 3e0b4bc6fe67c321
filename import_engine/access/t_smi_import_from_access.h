// TSMImportFromAccess: the import engine's source for Access database files,
// read through the DAO engine ("DAO.DBEngine.36", else ".35") by late-bound
// calls. Reads one table, or the result of one saved query of that name.
//
// Opening never fails towards the engine: when the engine cannot be created
// or the database, query or table cannot be opened, `recordset` and `db` are
// Null and the source reports no column and no row.
//
// Ownership: `db` holds the database object, `connection` the engine (see
// TSMImportFromADODOA). CloseSource closes the recordset and the database
// and releases the engine; the closed objects are released with the
// component.
#pragma once

#include "import_engine/access/t_smi_import_from_adodoa.h"

class TSMImportFromAccess : public TSMImportFromADODOA {
 public:
  explicit TSMImportFromAccess(TComponent* owner = nullptr);
  UnicodeString ClassName() const override { return u"TSMImportFromAccess"; }

  void OpenSource() override;
  void CloseSource() override;
  // The base check, then "SourceFileName", then "TableName".
  bool CheckProperties(UnicodeString& propertyName) override;
  UnicodeString Extension() const override { return u".MDB"; }
  UnicodeString FillFileFilters() const override;
  // One column per recordset field, in field order.
  void DetectAutoMapping() override;

  // Kept, never sent to the engine.
  const UnicodeString& UserName() const { return FUserName; }
  void SetUserName(const UnicodeString& v) { FUserName = v; }
  // The database password, sent as ";PWD=" + password when not empty.
  const UnicodeString& Password() const { return FPassword; }
  void SetPassword(const UnicodeString& v) { FPassword = v; }

 protected:
  UnicodeString FUserName;
  UnicodeString FPassword;
  Variant db;

 private:
  void OpenDatabaseAndRecordset();
};
