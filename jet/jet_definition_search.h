// Finding a table's definition in a file whose catalog may be damaged.
//
// The catalog's entry is asked first; when the catalog cannot be read, does
// not name the table, or names a definition that cannot be read or lacks a
// column asked for, every page of the file is looked at, in page order, for
// a table definition that reads whole and has every column asked for (names
// compared ignoring letter case). Reads one page at a time besides the
// catalog's cursor; parses each definition page once at most.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "jet/jet_file.h"
#include "runtime/unicode_string.h"

struct JetDefinitionFound {
  uint32_t page = 0;
  bool fromCatalog = false;
};

// The definition page of table `name`, or nullopt. What was wrong with the
// catalog's way to it is appended to `damage`, one line each. `catalogPage`,
// when given, receives the page the catalog names for the table (0 when it
// names none), whether or not its definition reads.
std::optional<JetDefinitionFound> FindTableDefinition(const std::shared_ptr<const JetFile>& file,
                                                      UnicodeStringView name,
                                                      const std::vector<UnicodeString>& columns,
                                                      std::vector<UnicodeString>& damage,
                                                      uint32_t* catalogPage = nullptr);
