// The database a test describes for the test-only DAO server.
//
// The "database file" handed to OpenDatabase is a UTF-8 text file, one
// statement per line ('#' starts a comment line):
//
//   password <text>             OpenDatabase must pass Connect ";PWD=<text>"
//   engine <version>            only the engine of that version ("3.6",
//                               "3.5") may open the database
//   table <name>                starts a table
//   field <type> <size> <name>  adds a field to the current table; <type> is
//                               a DAO type name (text, memo, long, ...) or
//                               its number
//   row <value> | <value> ...   adds a record, one value per field
//   query <name> | <table>      a saved query whose result is <table>'s rows
//
// Values: "<null>" and "<empty>" give Null and Empty; otherwise the text is
// read by the field's type: text kinds as text (escapes \\ \| \n \r \t
// \uXXXX), boolean true/false, whole numbers, single/double, currency and
// decimal as decimal text, dates as "YYYY-MM-DD[ HH:MM:SS]", byte data as
// hexadecimal byte pairs. Blanks around a value are dropped.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <memory>
#include <string>
#include <vector>

// A VARIANT with value semantics.
class OwnedVariant {
 public:
  OwnedVariant() { VariantInit(&v_); }
  OwnedVariant(const OwnedVariant& o) {
    VariantInit(&v_);
    VariantCopy(&v_, const_cast<VARIANT*>(&o.v_));
  }
  OwnedVariant& operator=(const OwnedVariant& o) {
    if (this != &o) VariantCopy(&v_, const_cast<VARIANT*>(&o.v_));
    return *this;
  }
  ~OwnedVariant() { VariantClear(&v_); }
  VARIANT& get() { return v_; }
  const VARIANT& get() const { return v_; }

 private:
  VARIANT v_;
};

struct FieldDef {
  std::wstring name;
  int type = 10;
  int size = 0;
};

struct Table {
  std::wstring name;
  std::vector<FieldDef> fields;
  std::vector<std::vector<OwnedVariant>> rows;
};

struct SavedQuery {
  std::wstring name;
  std::wstring table;
};

struct Fixture {
  std::wstring password;
  std::wstring engine;
  std::vector<Table> tables;
  std::vector<SavedQuery> queries;

  // Case-insensitive, as the engine looks names up.
  const Table* FindTable(const std::wstring& name) const;
  const SavedQuery* FindQuery(const std::wstring& name) const;
};

// Reads a description file. False with `error` set when the file cannot be
// read (missing file) or does not parse.
bool LoadFixture(const std::wstring& path, Fixture& fixture, std::wstring& error, bool& missing);

// The DAO type number of a type name, or -1.
int DaoTypeOf(const std::wstring& name);
