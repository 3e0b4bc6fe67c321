// The system catalog: the columns of MSysObjects and the other system tables
// Jet expects, and the MSysObjects rows that list containers and tables.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/accessdb/column.h"
#include "tools/accessdb/value.h"

namespace accessdb {

struct CatalogTable {
  std::string name;
  std::uint32_t definition_page = 0;
  bool system = false;
  std::string properties{};  // its LvProp blob (property_blob.h), "" for none
  std::uint32_t flags = 0;   // its catalog flags; 0: those of a user or system table
};

// A table linked from another database: through the Jet engine (another Access
// file, catalog type 6) or through ODBC (catalog type 4).
struct LinkedTable {
  std::string name;
  std::string foreign_name;  // its name in the other database
  std::string database;      // Jet: the other file's path
  std::string connect;       // ODBC: the connect string ("ODBC;DSN=...")
  bool odbc = false;
};

const std::vector<Column>& MSysObjectsColumns();

struct SystemTable {
  const char* name;
  std::vector<Column> columns;
};
// The system tables written (empty) besides MSysObjects.
const std::vector<SystemTable>& EmptySystemTables();

// Rows of MSysObjects, in MSysObjectsColumns() order: the containers, the
// database object carrying the AccessVersion property, and one row per table.
std::vector<std::vector<Value>> CatalogRows(Format format, double creation_date,
                                            const std::vector<CatalogTable>& tables,
                                            const std::vector<LinkedTable>& links, int code_page);

}  // namespace accessdb
