// The node table of a damaged database, as much of it as the project's
// Access reader can still recover (jet/jet_salvage_scan.h): found through
// the catalog or, without it, by its columns, its definition repaired where
// damaged (jet/jet_definition_repair.h); every row read page by page,
// whatever the usage map says.
//
// Holds every recovered record with its content as the plug-in's import
// holds the whole table too, in the same 8-bit form, and the texts of what the scan passed over. Reading
// costs one pass over the file's pages, one page at a time.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "host/node_table_names.h"
#include "runtime/unicode_string.h"

// A memo value as the plug-in's dataset stores it: 8-bit text in the active
// ANSI code page (a character the code page lacks is its default character).
struct SalvagedText {
  enum State { kWhole, kCut, kUnreadable };
  State state = kWhole;
  std::string ansi;      // empty for Null and for an unreadable value
  UnicodeString damage;  // kCut and kUnreadable: what the reader found
};

struct SalvagedRecord {
  UnicodeString key;
  SalvagedText content;
};

struct SalvagedTable {
  bool rootFound = false;
  size_t root = 0;                       // the root record's index in `records`, when found
  SalvagedText outline;                  // the root record's outline text
  std::vector<SalvagedRecord> records;   // every record, in table order
  // Without a root record: the records whose structure field holds text
  // (their index in `records`, the text), where an outline whose record lost
  // its key may still be found.
  std::vector<std::pair<size_t, SalvagedText>> outlineCandidates;
  std::vector<UnicodeString> passedOver;  // rows and pages the scan could not read
};

// Reads the node table `names` of the database at `path` (UTF-8). Raises
// EJetError when the file cannot be opened or holds no definition of the
// table with the key, structure and content columns.
SalvagedTable ReadSalvagedTable(const std::string& path, const NodeTableNames& names);
