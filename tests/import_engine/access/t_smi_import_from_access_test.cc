// What the Access source sends to the DAO engine and how it reads the answers,
// checked against a scripted engine that records every call.
#include "import_engine/access/t_smi_import_from_access.h"

#include <gtest/gtest.h>

#include "platform/code_page.h"
#include "runtime/utf8.h"
#include "tests/import_engine/access/scripted_dao_server.h"

namespace {

using Lines = std::vector<std::string>;

ScriptedTable NodeTable() {
  return ScriptedTable{u"Nodes",
                       {{u"ID", 4, 4}, {u"Title", 10, 50}, {u"Done", 1, 1}, {u"Body", 12, 0}, {u"Picture", 11, 0}},
                       {{Variant(int32_t(1)), Variant(u"first"), Variant(true), Variant(u"b1"), Variant::Null()},
                        {Variant(int32_t(2)), Variant(u"second"), Variant(false), Variant(u"b2"), Variant::Null()},
                        {Variant(int32_t(3)), Variant(u"third"), Variant(true), Variant(u"b3"), Variant::Null()},
                        {Variant(int32_t(4)), Variant(u"fourth"), Variant(false), Variant(u"b4"), Variant::Null()}},
                       std::nullopt};
}

// Opens `table` of "db.mdb" and reads the column `column` of every row the
// source admits.
std::vector<Variant> ReadColumn(TSMImportFromAccess& source, const UnicodeString& column) {
  std::vector<Variant> values;
  source.FirstRow();
  while (source.HasRow()) {
    Variant v;
    source.GetSourceValue(column, v);
    values.push_back(v);
    source.NextRow();
  }
  return values;
}

struct Fixture {
  ScriptedDaoServer dao;
  TSMImportFromAccess source;
  Fixture() {
    dao.tables.push_back(NodeTable());
    source.SetSourceFileName(u"db.mdb");
    source.SetTableName(u"Nodes");
  }
};

}  // namespace

TEST(TSMImportFromAccess, DefaultsAndProperties) {
  TSMImportFromAccess source;
  EXPECT_EQ(source.TableType(), teAccess);
  EXPECT_EQ(source.Extension(), u".MDB");
  EXPECT_EQ(source.SourceFileName().substr(source.SourceFileName().size() - 4), u".MDB");
  EXPECT_EQ(source.FillFileFilters(), u"MS Access database (*.mdb)|*.MDB|All files (*.*)|*.*");
  EXPECT_EQ(source.RowFirst(), 1);
  EXPECT_EQ(source.RowLast(), 2147483647);

  // CheckProperties names the first missing property.
  UnicodeString missing;
  EXPECT_TRUE(source.CheckProperties(missing));
  EXPECT_EQ(missing, u"DataSet");
}

TEST(TSMImportFromAccess, OpenDatabaseArgumentsFollowThePassword) {
  struct Row {
    const char16_t* user;
    const char16_t* password;
    std::string call;
  } rows[] = {
      {u"", u"", "Engine.OpenDatabase(\"db.mdb\")"},
      {u"admin", u"", "Engine.OpenDatabase(\"db.mdb\")"},
      {u"admin", u"pa ss;x", "Engine.OpenDatabase(Name=\"db.mdb\", Connect=\";PWD=pa ss;x\")"},
  };
  for (const Row& r : rows) {
    Fixture f;
    f.source.SetUserName(r.user);
    f.source.SetPassword(r.password);
    f.source.OpenSource();
    EXPECT_EQ(f.dao.LogLines("Engine."), Lines{r.call});
    EXPECT_EQ(f.dao.LogLines("create"), Lines{"create DAO.DBEngine.36"});
  }
}

TEST(TSMImportFromAccess, ASavedQueryOfExactlyTheNameIsTakenBeforeATable) {
  struct Row {
    const char16_t* tableName;
    std::string opened;  // the OpenRecordset call that was made
  } rows[] = {
      {u"Recent", "QueryDef.OpenRecordset()"},
      {u"recent", "Database.OpenRecordset(\"recent\", 1, 0, 2)"},
      {u"Nodes", "Database.OpenRecordset(\"Nodes\", 1, 0, 2)"},
  };
  for (const Row& r : rows) {
    Fixture f;
    f.dao.queries.push_back(ScriptedTable{u"Other", {{u"X", 10, 5}}, {}, std::nullopt});
    f.dao.queries.push_back(ScriptedTable{u"Recent", {{u"Q", 10, 5}}, {{Variant(u"from query")}}, std::nullopt});
    f.dao.tables.push_back(ScriptedTable{u"recent", {{u"Q", 10, 5}}, {{Variant(u"from table")}}, std::nullopt});
    f.source.SetTableName(r.tableName);
    f.source.OpenSource();
    Lines opens;
    for (const std::string& l : f.dao.Log())
      if (l.find(".OpenRecordset(") != std::string::npos) opens.push_back(l);
    EXPECT_EQ(opens, Lines{r.opened}) << ToUtf8(r.tableName);
    // The saved queries are listed before any recordset is opened, and only
    // up to the match.
    auto log = f.dao.Log();
    auto count = std::find(log.begin(), log.end(), "QueryDefs.Count()");
    auto open = std::find(log.begin(), log.end(), r.opened);
    EXPECT_LT(count, open);
    EXPECT_EQ(f.dao.LogLines("QueryDef.Name").size(), 2u);
  }
  Fixture f;
  f.dao.queries.push_back(ScriptedTable{u"Nodes", {{u"Q", 10, 5}}, {{Variant(u"q")}, {Variant(u"r")}}, std::nullopt});
  f.dao.queries.push_back(ScriptedTable{u"Later", {}, {}, std::nullopt});
  f.source.OpenSource();
  EXPECT_EQ(f.dao.LogLines("QueryDef.Name").size(), 1u);  // stops at the first equal name
  EXPECT_EQ(ReadColumn(f.source, u"q"), (std::vector<Variant>{Variant(u"q"), Variant(u"r")}));
}

TEST(TSMImportFromAccess, EngineCreationFallsBackAndFailuresReportNothing) {
  {
    ScriptedDaoServer dao(false, true);
    dao.tables.push_back(NodeTable());
    TSMImportFromAccess source;
    source.SetSourceFileName(u"db.mdb");
    source.SetTableName(u"Nodes");
    source.OpenSource();
    EXPECT_EQ(dao.LogLines("create"), (Lines{"create DAO.DBEngine.36", "create DAO.DBEngine.35"}));
    source.DetectAutoMapping();
    EXPECT_EQ(source.Columns().Count(), 5);
  }
  struct Row {
    bool answer36, answer35, failOpen;
    const char16_t* table;
  } failures[] = {
      {false, false, false, u"Nodes"},  // no engine at all
      {true, true, true, u"Nodes"},     // the database cannot be opened
      {true, true, false, u"Missing"},  // no such table
      {true, true, false, u""},         // no table name: no recordset
  };
  for (const Row& r : failures) {
    ScriptedDaoServer dao(r.answer36, r.answer35);
    dao.tables.push_back(NodeTable());
    dao.failOpenDatabase = r.failOpen;
    TSMImportFromAccess source;
    source.SetSourceFileName(u"db.mdb");
    source.SetTableName(r.table);
    EXPECT_NO_THROW(source.OpenSource());
    source.DetectAutoMapping();
    EXPECT_EQ(source.Columns().Count(), 0);
    source.FirstRow();
    EXPECT_FALSE(source.HasRow());
    EXPECT_EQ(source.GetRowCount(), 0);
    Variant v;
    source.GetSourceValue(u"Title", v);
    EXPECT_EQ(v, Variant(u"Title"));
    EXPECT_NO_THROW(source.CloseSource());
  }
}

TEST(TSMImportFromAccess, ColumnsFromFieldsWithTypesSizesAndBrackets) {
  Fixture f;
  f.dao.tables[0].fields.push_back({u"Node Text", 10, 20});
  f.dao.tables[0].fields.push_back({u"A/B", 7, 8});
  f.dao.tables[0].fields.push_back({u"Node_Text", 10, 9});
  f.source.OpenSource();
  f.source.DetectAutoMapping();
  struct Row {
    const char16_t* name;
    TSMIDataType type;
    int32_t size;
    TAlignment alignment;
  } rows[] = {
      {u"ID", itInteger, 4, taRightJustify}, {u"Title", itString, 50, taLeftJustify},
      {u"Done", itBoolean, 1, taLeftJustify}, {u"Body", itMEMO, 0, taLeftJustify},
      {u"Picture", itBLOB, 0, taLeftJustify}, {u"[Node Text]", itString, 20, taLeftJustify},
      {u"[A/B]", itFloat, 8, taRightJustify}, {u"Node_Text", itString, 9, taLeftJustify},
  };
  ASSERT_EQ(f.source.Columns().Count(), 8);
  for (int i = 0; i < 8; ++i) {
    TSMIColumn* c = f.source.Columns().Items(i);
    EXPECT_EQ(c->FieldName(), rows[i].name);
    EXPECT_EQ(c->DataType(), rows[i].type) << i;
    EXPECT_EQ(c->Size(), rows[i].size) << i;
    EXPECT_EQ(c->Alignment(), rows[i].alignment) << i;
    EXPECT_EQ(c->Caption(), u"");
  }
}

TEST(TSMImportFromAccess, EveryDaoTypeCodeMapsToAColumnKind) {
  struct Row {
    int32_t daoType;
    TSMIDataType type;
    TAlignment alignment;
  } rows[] = {
      {1, itBoolean, taLeftJustify},   {2, itInteger, taRightJustify},  {3, itInteger, taRightJustify},
      {4, itInteger, taRightJustify},  {16, itInteger, taRightJustify}, {5, itFloat, taRightJustify},
      {6, itFloat, taRightJustify},    {7, itFloat, taRightJustify},    {19, itFloat, taRightJustify},
      {20, itFloat, taRightJustify},   {21, itFloat, taRightJustify},   {8, itDateTime, taLeftJustify},
      {9, itBLOB, taLeftJustify},      {11, itBLOB, taLeftJustify},     {17, itBLOB, taLeftJustify},
      {12, itMEMO, taLeftJustify},     {22, itTime, taLeftJustify},     {10, itString, taLeftJustify},
      {15, itString, taLeftJustify},   {18, itString, taLeftJustify},   {23, itString, taLeftJustify},
      {0, itString, taLeftJustify},    {-3, itString, taLeftJustify},
  };
  ScriptedDaoServer dao;
  ScriptedTable table{u"T", {}, {}, std::nullopt};
  for (const Row& r : rows) table.fields.push_back({u"F", r.daoType, 1});
  dao.tables.push_back(table);
  TSMImportFromAccess source;
  source.SetSourceFileName(u"x");
  source.SetTableName(u"T");
  source.OpenSource();
  source.DetectAutoMapping();
  ASSERT_EQ(source.Columns().Count(), static_cast<int32_t>(std::size(rows)));
  for (size_t i = 0; i < std::size(rows); ++i) {
    EXPECT_EQ(source.Columns().Items(static_cast<int32_t>(i))->DataType(), rows[i].type) << rows[i].daoType;
    EXPECT_EQ(source.Columns().Items(static_cast<int32_t>(i))->Alignment(), rows[i].alignment) << rows[i].daoType;
  }
}

TEST(TSMImportFromAccess, ValuesByFieldNameIgnoringAsciiCase) {
  ScopedActiveCodePage cp(1252);
  Fixture f;
  f.dao.tables[0].fields.push_back({u"Amount", 20, 16});
  f.dao.tables[0].fields.push_back({u"Blob", 9, 4});
  f.dao.tables[0].fields.push_back({u"TITLE", 10, 5});  // a second field of the same name loses
  for (auto& row : f.dao.tables[0].rows) {
    row.push_back(Variant(Decimal{true, 2, 0, 12345}));
    row.push_back(Variant(Variant::Bytes{'a', 0x80, 'c', 'd'}));
    row.push_back(Variant(u"shadowed"));
  }
  f.source.OpenSource();
  EXPECT_EQ(ReadColumn(f.source, u"title"),
            (std::vector<Variant>{Variant(u"first"), Variant(u"second"), Variant(u"third"), Variant(u"fourth")}));
  EXPECT_EQ(ReadColumn(f.source, u"Done")[2], Variant(true));
  EXPECT_TRUE(ReadColumn(f.source, u"Picture")[0].IsNull());
  EXPECT_EQ(ReadColumn(f.source, u"Nothing")[0], Variant(u"Nothing"));
  EXPECT_EQ(ReadColumn(f.source, u"amount")[0], Variant(u"-123.45"));
  // Byte data: every byte, the last one included.
  EXPECT_EQ(ReadColumn(f.source, u"Blob")[0], Variant(u"a\u20ACcd"));

  // Names asked in any order within a row, backwards and repeated included.
  struct Cell {
    const char16_t* name;
    Variant value;
  } cells[] = {
      {u"Body", Variant(u"b1")}, {u"ID", Variant(int32_t(1))}, {u"TITLE", Variant(u"first")},
      {u"body", Variant(u"b1")}, {u"Done", Variant(true)},     {u"Nothing", Variant(u"Nothing")},
      {u"id", Variant(int32_t(1))}, {u"Title", Variant(u"first")}, {u"Done", Variant(true)},
  };
  f.source.FirstRow();
  for (const Cell& c : cells) {
    Variant v;
    f.source.GetSourceValue(c.name, v);
    EXPECT_EQ(v, c.value) << ToUtf8(c.name);
  }
}

TEST(TSMImportFromAccess, RowRangeAndRowCount) {
  struct Row {
    int32_t rowFirst, rowLast;
    std::optional<int32_t> recordCount;
    std::vector<int32_t> ids;
    int32_t reported;
  } rows[] = {
      {1, 2147483647, std::nullopt, {1, 2, 3, 4}, 4},
      {3, 2147483647, std::nullopt, {3, 4}, 4},
      {1, 2, std::nullopt, {1, 2}, 4},
      {2, 3, std::nullopt, {2, 3}, 4},
      {1, 2147483647, -1, {1, 2, 3, 4}, 10000},
  };
  for (const Row& r : rows) {
    Fixture f;
    f.dao.tables[0].recordCount = r.recordCount;
    f.source.SetRowFirst(r.rowFirst);
    f.source.SetRowLast(r.rowLast);
    f.source.OpenSource();
    std::vector<int32_t> ids;
    for (const Variant& v : ReadColumn(f.source, u"ID")) ids.push_back(v.ToInt32());
    EXPECT_EQ(ids, r.ids) << r.rowFirst << ".." << r.rowLast;
    EXPECT_EQ(f.source.GetRowCount(), r.reported);
  }
}

TEST(TSMImportFromAccess, CloseSourceClosesAndReleasesTheEngine) {
  Fixture f;
  f.source.OpenSource();
  EXPECT_EQ(f.dao.LiveEngines(), 1);
  f.source.CloseSource();
  EXPECT_EQ(f.dao.LogLines("Recordset.Close").size(), 1u);
  EXPECT_EQ(f.dao.LogLines("Database.Close").size(), 1u);
  EXPECT_EQ(f.dao.LiveEngines(), 0);
  // MoveFirst is sent even for an empty recordset.
  Fixture empty;
  empty.dao.tables[0].rows.clear();
  empty.source.OpenSource();
  empty.source.FirstRow();
  EXPECT_FALSE(empty.source.HasRow());
  EXPECT_EQ(empty.dao.LogLines("Recordset.MoveFirst").size(), 1u);
}
