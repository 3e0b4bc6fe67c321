// The catalog of an Access file: the rows of its system table MSysObjects,
// whose definition always starts on page 2.
//
// Each object has a name, an id (a table's id holds its definition page in
// the lower 24 bits), the id of the container it belongs to, and a type
// (the lower 7 bits tell the kind). Only these plain columns are read here;
// a table's properties (a long value) are read on their own, when asked for.
//
// Read once, through a JetTableCursor on the complete JetFile; then a value.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "jet/jet_file.h"
#include "runtime/unicode_string.h"

class JetCatalog {
 public:
  // The page on which MSysObjects' definition starts, in every file.
  static constexpr uint32_t kDefinitionPage = 2;
  // Object kinds: MSysObjects.Type, lower 7 bits.
  static constexpr int kLocalTable = 1;  // user and system tables
  static constexpr int kQuery = 5;       // a saved query
  static constexpr int kLinkedTable = 6;  // linked through the Jet engine
  static constexpr int kOdbcTableType = 4;  // the whole Type of a table linked through ODBC (a report's 0x8004 shares its lower bits)

  struct Object {
    UnicodeString name;
    int32_t id = 0;
    int32_t parentId = 0;
    int32_t type = 0;  // as stored

    int Kind() const { return type & 0x7F; }
    uint32_t DefinitionPage() const { return static_cast<uint32_t>(id) & 0x00FFFFFF; }
    bool IsLocalTable() const { return Kind() == kLocalTable; }
    bool IsQuery() const { return Kind() == kQuery; }
    bool IsLinkedTable() const { return Kind() == kLinkedTable || type == kOdbcTableType; }
  };

  // Reads the catalog of `file`. Raises EJetError with the damage found: a
  // catalog that cannot be read whole, or that holds two objects of one name
  // (letter case ignored) in one container, is damage to the whole file.
  explicit JetCatalog(const std::shared_ptr<const JetFile>& file);

  // Objects in catalog order (rows without a name, id or type left out).
  const std::vector<Object>& Objects() const { return objects_; }
  // The local table named `name` (letter case ignored, as the engine does
  // for object names), or nullptr. System tables count.
  const Object* FindTable(UnicodeStringView name) const;

  // The properties long value (MSysObjects.LvProp, jet_property_blob.h) of
  // the local table whose definition starts on `definitionPage`; empty when
  // the table has none. Scans the catalog's rows again with a cursor of its
  // own, reading the long value of the one row it needs. Raises EJetError
  // with the damage found.
  static std::string TableProperties(const std::shared_ptr<const JetFile>& file, uint32_t definitionPage);

 private:
  std::vector<Object> objects_;
};
