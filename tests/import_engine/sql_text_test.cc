// SQL texts of akGenerateSQL runs.
#include <gtest/gtest.h>

#include "memory_source.h"
#include "runtime/regional_settings.h"

namespace {

// A source with the given columns and rows over a dataset of the same
// fields, generating SQL; every generated statement is collected.
struct SqlRun {
  TClientDataSet ds;
  TMemorySource source;
  std::vector<UnicodeString> statements;

  explicit SqlRun(const std::vector<std::pair<UnicodeString, TFieldType>>& fields) {
    DefineFields(ds, fields);
    UnicodeString mapping;
    for (const auto& f : fields) {
      source.columns.push_back({f.first});
      mapping += f.first + u"=[" + f.first + u"]\n";
    }
    source.Mappings().SetText(mapping);
    source.SetDataSet(&ds);
    source.SetActionKind(akGenerateSQL);
    source.SetTableName(u"Nodes");
    source.SetOnAfterRecordEvent([this](TSMImportBaseComponent* c, bool&) {
      statements.push_back(c->Statistic().LastGeneratedSQL());
    });
  }
};

}  // namespace

TEST(SqlTextTest, InsertQuotesTextsAndWritesNumbersBare) {
  SqlRun run({{u"ID", ftInteger}, {u"Title", ftString}, {u"Price", ftFloat}, {u"Done", ftBoolean}});
  run.source.rows = {{Variant(7), Variant(u"It's \"here\""), Variant(u"2.5"), Variant(u"True")},
                     {Variant(8), Variant::Null(), Variant(u""), Variant(u"N")}};  // an empty text is no value
  run.source.Execute();
  ASSERT_EQ(run.statements.size(), 2u);
  EXPECT_EQ(run.statements[0],
            u"INSERT INTO Nodes (ID, Title, Price, Done) VALUES (7, \"It's \"\"here\"\"\", 2.5, \"True\")");
  EXPECT_EQ(run.statements[1], u"INSERT INTO Nodes (ID, Title, Price, Done) VALUES (8, NULL, NULL, \"False\")");
  EXPECT_EQ(run.ds.RecordCount(), 0);  // the dataset is not changed
  EXPECT_EQ(run.source.Statistic().TotalAdded(), 2);
}

TEST(SqlTextTest, FieldNamesFollowTheCharCaseAndAreQuotedWhenNeeded) {
  struct Row { TSMIFieldCharCase charCase; UnicodeString expected; };
  const Row rows[] = {
      {ifcNormal, u"INSERT INTO Nodes (<Node Text>, <Name>, <size>, Code) VALUES ('a', 'b', 'c', 'd')"},
      {ifcUpperCase, u"INSERT INTO Nodes (<NODE TEXT>, <NAME>, <SIZE>, CODE) VALUES ('a', 'b', 'c', 'd')"},
      {ifcLowerCase, u"INSERT INTO Nodes (<node text>, <name>, <size>, code) VALUES ('a', 'b', 'c', 'd')"},
      {ifcProper, u"INSERT INTO Nodes (<Node text>, <Name>, <Size>, Code) VALUES ('a', 'b', 'c', 'd')"},
  };
  for (const Row& r : rows) {
    SqlRun run({{u"Node Text", ftString}, {u"Name", ftString}, {u"size", ftString}, {u"Code", ftString}});
    run.source.SQLOptions().SetFieldNameCharCase(r.charCase);
    run.source.SQLOptions().SetSQLQuote(u'\'');
    run.source.SQLOptions().FieldNameOptions().SetSQLQuoteOpen(u'<');
    run.source.SQLOptions().FieldNameOptions().SetSQLQuoteClose(u'>');
    run.source.rows = {{Variant(u"a"), Variant(u"b"), Variant(u"c"), Variant(u"d")}};
    run.source.Execute();
    ASSERT_EQ(run.statements.size(), 1u);
    EXPECT_EQ(run.statements[0], r.expected) << r.charCase;
  }
}

TEST(SqlTextTest, UpdateSetsTheNonKeyFieldsWhereTheKeysMatch) {
  SqlRun run({{u"ID", ftInteger}, {u"Sub", ftString}, {u"Title", ftString}});
  run.ds.Append();
  run.ds.Fields(0)->SetAsInteger(1);
  run.ds.Fields(1)->SetAsString(u"x");
  run.ds.Post();
  run.source.SetMode(imAppendUpdate);
  run.source.SetDatasetKeys(u"ID;Sub");
  run.source.rows = {{Variant(1), Variant(u"x"), Variant(u"new")}, {Variant(2), Variant::Null(), Variant(u"n")}};
  run.source.Execute();
  ASSERT_EQ(run.statements.size(), 2u);
  EXPECT_EQ(run.statements[0], u"UPDATE Nodes SET Title=\"new\" WHERE (ID=1) AND (SUB=\"x\")");
  // Not found: an insert of every field.
  EXPECT_EQ(run.statements[1], u"INSERT INTO Nodes (ID, Sub, Title) VALUES (2, NULL, \"n\")");
  EXPECT_EQ(run.source.Statistic().TotalUpdated(), 1);
  EXPECT_EQ(run.source.Statistic().TotalAdded(), 1);
  run.ds.First();
  EXPECT_EQ(run.ds.Fields(2)->AsString(), u"");  // untouched
}

TEST(SqlTextTest, DeleteAndNullKeysAndUnknownAction) {
  SqlRun run({{u"ID", ftInteger}, {u"Title", ftString}});
  run.ds.Append();
  run.ds.Fields(0)->SetAsInteger(1);
  run.ds.Post();
  run.ds.Append();
  run.ds.Fields(1)->SetAsString(u"no id");
  run.ds.Post();
  run.source.SetMode(imDelete);
  run.source.SetDatasetKeys(u"ID");
  run.source.rows = {{Variant(1), Variant(u"a")}, {Variant::Null(), Variant(u"no id")}, {Variant(9), Variant(u"b")}};
  run.source.Execute();
  ASSERT_EQ(run.statements.size(), 3u);
  EXPECT_EQ(run.statements[0], u"DELETE FROM Nodes WHERE (ID=1)");
  EXPECT_EQ(run.statements[1], u"DELETE FROM Nodes WHERE (ID IS NULL)");
  EXPECT_EQ(run.statements[2], u"");  // key not found: no action
  EXPECT_EQ(run.ds.RecordCount(), 2);
}

TEST(SqlTextTest, CopyModeStartsWithDeletingTheTable) {
  SqlRun run({{u"ID", ftInteger}});
  for (int i = 0; i < 3; ++i) {
    run.ds.Append();
    run.ds.Fields(0)->SetAsInteger(i);
    run.ds.Post();
  }
  run.source.SetMode(imCopy);
  run.source.SetOnAfterRecordEvent(nullptr);
  run.source.Execute();
  EXPECT_EQ(run.source.Statistic().LastGeneratedSQL(), u"DELETE FROM Nodes");
  EXPECT_EQ(run.source.Statistic().TotalDeleted(), 3);
  EXPECT_EQ(run.ds.RecordCount(), 3);
}

TEST(SqlTextTest, NumbersUseAFullStopWhateverTheRegionalSeparator) {
  FormatSettings comma;
  comma.DecimalSeparator = u',';
  comma.ThousandSeparator = u'.';
  ScopedRegionalSettings scope(comma);
  SqlRun run({{u"Price", ftFloat}, {u"Label", ftString}});
  run.source.rows = {{Variant(2.5), Variant(2.5)}};
  run.source.Execute();
  ASSERT_EQ(run.statements.size(), 1u);
  EXPECT_EQ(run.statements[0], u"INSERT INTO Nodes (Price, Label) VALUES (2.5, \"2,5\")");
}

TEST(SqlTextTest, BlobFieldsStayOutUnlessTheyAreMemos) {
  SqlRun run({{u"ID", ftInteger}, {u"Body", ftMemo}, {u"Picture", ftBlob}});
  run.source.rows = {{Variant(1), Variant(u"text"), Variant(u"bytes")}};
  run.source.Execute();
  ASSERT_EQ(run.statements.size(), 1u);
  EXPECT_EQ(run.statements[0], u"INSERT INTO Nodes (ID, Body) VALUES (1, \"text\")");
}
