// MsAccessImporter over real files written by the project's Access writer and
// read through the DAO server.
#include "loader/ms_access_importer.h"

#include <gtest/gtest.h>

#include <fstream>

#include "dataset/t_client_data_set.h"
#include "dataset/t_field.h"
#include "import_engine/esmi_invalid_property_exception.h"
#include "platform/code_page.h"
#include "runtime/utf8.h"
#include "tests/import_engine/recording_user_interface.h"
#include "tests/platform/automation/temp_directory.h"
#include "tools/accessdb/database_writer.h"

using accessdb::ColumnType;
using accessdb::Value;

namespace {

const std::string kLongName = "A column name of forty characters long!!";  // 40

void WriteNodes(const std::string& path) {
  accessdb::DatabaseWriter w(path, {});
  w.BeginTable("Nodes", {{"NodeKeyValue", ColumnType::kText, 50},
                         {"Title", ColumnType::kText, 50},
                         {"Body", ColumnType::kMemo},
                         {"Done", ColumnType::kBoolean},
                         {"Count", ColumnType::kLong},
                         {"Price", ColumnType::kCurrency},
                         {"Ratio", ColumnType::kDouble},
                         {"When", ColumnType::kDateTime},
                         {"Raw", ColumnType::kOle},
                         {kLongName, ColumnType::kText, 10},
                         {"Node Text", ColumnType::kText, 12}});
  std::string raw(40, 'r');
  w.AddRow({Value::Text("k2"), Value::Text("two"), Value::Text(std::string(70000, 'm')), Value::Bool(true),
            Value::Int(-7), Value::Currency(18500), Value::Double(0.25),
            Value::DateTime(accessdb::ParseDateTime("2020-12-31T00:00:00")), Value::Bytes(raw), Value::Text("x"),
            Value::Text("blank name")});
  w.AddRow({Value::Text("k1"), Value::Text("one"), Value::Null(), Value::Bool(false), Value::Null(), Value::Null(),
            Value::Null(), Value::Null(), Value::Null(), Value::Null(), Value::Null()});
  w.Finish();
}

struct Loaded {
  TClientDataSet dataSet{nullptr};
  RecordingUserInterface ui;
};

}  // namespace

TEST(MsAccessImporter, DefinesOneFieldPerColumnAndLoadsEveryRow) {
  ScopedActiveCodePage cp(1252);
  TempDirectory dir;
  std::string path = dir.File("nodes.mdb");
  WriteNodes(path);
  Loaded l;
  ScopedUserInterface scopedUi(l.ui);
  {
    MsAccessImporter loader(&l.dataSet);
    loader.SetKeyField(u"NodeKeyValue");
    loader.Load(FromUtf8(path), u"Nodes");
  }
  TClientDataSet& ds = l.dataSet;
  ASSERT_TRUE(ds.Active());
  struct Row {
    UnicodeString name;
    TFieldType type;
    int32_t size;
  } rows[] = {
      {u"NodeKeyValue", ftString, 50}, {u"Title", ftString, 50}, {u"Body", ftMemo, 64000},
      {u"Done", ftBoolean, 0},         {u"Count", ftString, 30}, {u"Price", ftString, 30},
      {u"Ratio", ftString, 30},        {u"When", ftString, 30},  {u"Raw", ftString, 30},
      // Names with a blank come bracketed; the first 31 characters name the field.
      {FromUtf8("[" + kLongName.substr(0, 30)), ftString, 10}, {u"[Node Text]", ftString, 12},
  };
  ASSERT_EQ(ds.FieldCount(), 11);
  for (int i = 0; i < 11; ++i) {
    EXPECT_EQ(ds.Fields(i)->FieldName(), rows[i].name);
    EXPECT_EQ(ds.Fields(i)->DataType(), rows[i].type) << i;
    EXPECT_EQ(ds.Fields(i)->Size(), rows[i].size) << i;
  }
  EXPECT_EQ(ds.IndexName(), u"NodeKeyValueIndex");
  EXPECT_EQ(ds.RecordCount(), 2);
  // The index orders the rows by key; values arrive as text.
  ds.First();
  EXPECT_EQ(ds.FieldByName(u"NodeKeyValue")->AsString(), u"k1");
  EXPECT_TRUE(ds.FieldByName(u"Count")->IsNull());
  EXPECT_FALSE(ds.FieldByName(u"Done")->AsBoolean());
  ds.Next();
  EXPECT_EQ(ds.FieldByName(u"NodeKeyValue")->AsString(), u"k2");
  EXPECT_EQ(ds.FieldByName(u"Body")->AsString().size(), 70000u);
  EXPECT_TRUE(ds.FieldByName(u"Done")->AsBoolean());
  EXPECT_EQ(ds.FieldByName(u"Count")->AsString(), u"-7");
  EXPECT_EQ(ds.FieldByName(u"Price")->AsString(), u"1.85");
  EXPECT_EQ(ds.FieldByName(u"Ratio")->AsString(), u"0.25");
  EXPECT_EQ(ds.FieldByName(u"When")->AsString(), u"12/31/2020");
  EXPECT_EQ(ds.FieldByName(u"Raw")->AsString(), UnicodeString(30, u'r'));  // byte data cut to 30
  // The shortened name no longer pairs with its column: the field stays empty.
  EXPECT_TRUE(ds.Fields(9)->IsNull());
  EXPECT_EQ(ds.Fields(10)->AsString(), u"blank name");
  EXPECT_TRUE(l.ui.messages.empty());
}

TEST(MsAccessImporter, WithoutKeyFieldNoIndex) {
  TempDirectory dir;
  std::string path = dir.File("nodes.mdb");
  WriteNodes(path);
  TClientDataSet ds(nullptr);
  MsAccessImporter loader(&ds);
  loader.Load(FromUtf8(path), u"Nodes");
  EXPECT_EQ(ds.IndexName(), u"");
  EXPECT_EQ(ds.IndexDefs().Count(), 0);
  EXPECT_EQ(ds.RecordCount(), 2);
}

TEST(MsAccessImporter, FailuresLeaveTheDatasetClosedAndShowNothing) {
  TempDirectory dir;
  std::string nodes = dir.File("nodes.mdb");
  WriteNodes(nodes);
  std::string text = dir.File("notes.xtp");
  std::ofstream(text) << "not a database";
  struct Row {
    std::string path;
    const char16_t* table;
  } rows[] = {
      {dir.File("missing.xtp"), u"Nodes"},
      {text, u"Nodes"},
      {nodes, u"NoSuchTable"},
  };
  for (const Row& r : rows) {
    RecordingUserInterface ui;
    ScopedUserInterface scopedUi(ui);
    TClientDataSet ds(nullptr);
    MsAccessImporter loader(&ds);
    loader.SetKeyField(u"NodeKeyValue");
    EXPECT_NO_THROW(loader.Load(FromUtf8(r.path), r.table));
    EXPECT_FALSE(ds.Active()) << r.path;
    EXPECT_TRUE(ui.messages.empty());
  }
  TClientDataSet ds(nullptr);
  MsAccessImporter loader(&ds);
  try {
    loader.Load(u"", u"Nodes");
    ADD_FAILURE() << "no error";
  } catch (const ESMIInvalidPropertyException& e) {
    EXPECT_EQ(e.Message(), u"Property SourceFileName wasn't specified.");
  }
  EXPECT_FALSE(ds.Active());
}

TEST(MsAccessImporter, DestroyingAnUnusedLoaderLeavesTheDatasetAlone) {
  TClientDataSet ds(nullptr);
  { MsAccessImporter loader(&ds); }
  EXPECT_FALSE(ds.Active());
  EXPECT_EQ(ds.FieldDefs().Count(), 0);
}
