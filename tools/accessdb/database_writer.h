// Streaming writer of Access database files (Jet 3 / Jet 4 .mdb).
//
//   accessdb::DatabaseWriter db("out.mdb", {});           // Jet 4, code page 1252
//   db.BeginTable("People", {{"Name", accessdb::ColumnType::kText, 50},
//                            {"Born", accessdb::ColumnType::kDateTime}});
//   db.AddRow({accessdb::Value::Text("Ann"),
//              accessdb::Value::DateTime(accessdb::ParseDateTime("1970-01-02T03:04:05"))});
//   db.EndTable();
//   db.Finish();                                           // catalog, header; closes the file
//
// Tables are written one after the other; rows go straight to their pages, so
// memory stays at a few pages plus one row (and one bit per page of the file for
// the usage maps), whatever the number of rows. A table's complex columns of a
// kind (column.h) have flat tables, written at the same time as the table; their
// template tables and MSysComplexColumns come with Finish(). The file lists
// every table in its system catalog; it has no indexes, relationships, saved
// queries or password, and is not encrypted.
//
// Errors: std::invalid_argument for bad input (names, columns, values; the
// message names table, row and column), std::runtime_error for I/O failures and
// files beyond the format's size. A value error in AddRow() writes nothing, and
// the writer stays usable. A writer destroyed before Finish() removes its file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tools/accessdb/catalog.h"
#include "tools/accessdb/column.h"
#include "tools/accessdb/date_time.h"
#include "tools/accessdb/value.h"

namespace accessdb {

struct DatabaseOptions {
  Format format = Format::kJet4;
  // Jet 3: the code page of all stored text and names. Jet 4: only recorded in
  // the header (text is UCS-2).
  int code_page = 1252;
  // Creation date in the header and the catalog (Access days, see date_time.h);
  // fixed by default so that the same input always gives the same file.
  double creation_date = 45292.0;  // 2024-01-01T00:00:00
  // Jet 4: store text compressed where that is shorter (Access does by default).
  bool compress_text = true;
  // Memo and OLE values of up to 64 bytes stay in their row when it has room,
  // as Access keeps them; false stores every one on long-value pages, as some
  // other writers do.
  bool long_values_in_row = true;
  // Jet 4 layout only: 0 writes an Access 2000-2003 file (.mdb); 2 to 6 an
  // unencrypted Access 2007, 2010, 2013, 2016 or 2019 file (.accdb), which has
  // the same page layout and differs in its header's version and engine name.
  // Nothing else of the newer formats is written (no attachment or multi-value
  // columns, no new sort orders).
  int ace_version = 0;
};

class DatabaseWriter {
 public:
  // Creates (truncates) the file. Throws std::invalid_argument for an unknown
  // code page, std::runtime_error when the file cannot be created.
  DatabaseWriter(const std::string& path, const DatabaseOptions& options);
  ~DatabaseWriter();
  DatabaseWriter(const DatabaseWriter&) = delete;
  DatabaseWriter& operator=(const DatabaseWriter&) = delete;

  // Starts a table; ends the previous one if still open. Names: 1 to 64
  // characters, unique (ignoring case) within the file or table; "MSys" names
  // are reserved for the catalog. At most 255 columns.
  void BeginTable(const std::string& name, const std::vector<Column>& columns);
  // Starts a system table ("MSys" name, listed with the system flag), such as
  // the MSysComplexColumns and MSysComplexType_... tables of complex columns.
  void BeginSystemTable(const std::string& name, const std::vector<Column>& columns);
  // The open table's id in the catalog (its definition page).
  std::uint32_t table_id() const;
  // One value per column, in column order (see value.h for what each type takes).
  void AddRow(const std::vector<Value>& values);
  void EndTable();
  // Lists a linked table in the catalog (it has no pages in this file). May
  // come at any time before Finish(); the name must be unused.
  void AddLinkedTable(const LinkedTable& link);
  // Ends the open table, writes the catalog and the header page and closes the
  // file. Nothing may be called afterwards.
  void Finish();

  std::uint64_t rows_in_table() const;  // rows added to the open table so far

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace accessdb
