#include "importer/document_importer.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "dataset/t_client_data_set.h"
#include "importer/arvoline_document_importer.h"
#include "importer/gleanery_document_importer.h"
#include "platform/code_page.h"
#include "runtime/component.h"
#include "runtime/exceptions.h"
#include "tests/importer/fake_ms_access_importer.h"
#include "tests/outline/outline_text.h"

namespace {

using outline_text::Entry;

constexpr char16_t kArvolinePath[] = u"C:\\data\\notes.xtp";
constexpr char16_t kGleaneryPath[] = u"C:\\data\\notes.xrd";

// The node table of an Arvoline database: key, outline text, content, and a
// column the importer never reads.
FakeTable ArvolineTable(std::vector<std::vector<Variant>> rows) {
  FakeTable table;
  table.columns = {{u"NodeKeyValue", itString, 50},
                   {u"NodeTextValue", itMEMO, 0},
                   {u"NodeTextRTFValue", itMEMO, 0},
                   {u"NodeModified", itDateTime, 8}};
  table.rows = std::move(rows);
  return table;
}

FakeTable GleaneryTable(std::vector<std::vector<Variant>> rows) {
  FakeTable table;
  table.columns = {{u"NodeKeyValue", itString, 50},
                   {u"NodeDocumentKeywords", itMEMO, 0},
                   {u"NodeDocumentDescription", itMEMO, 0}};
  table.rows = std::move(rows);
  return table;
}

const UnicodeString kThreeItems = Entry(u"Root", u"A1", u"First") + Entry(u"A1", u"B2", u"Two") + Entry(u"B2", u"C3", u"Three");

std::vector<TreeItem> Drain(DocumentImporter& importer) {
  std::vector<TreeItem> items;
  while (!importer.IsQueueEmpty()) items.push_back(importer.NextItem());
  return items;
}

// Hears when a component is destroyed.
class DestructionWatcher : public TComponent {
 public:
  explicit DestructionWatcher(TComponent* watched) { FreeNotification(watched); }
  bool Seen() const { return seen_; }

 protected:
  void Notification(TComponent*, TOperation operation) override {
    if (operation == TOperation::opRemove) seen_ = true;
  }

 private:
  bool seen_ = false;
};

class DocumentImporterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FakeAccessDatabases::Clear();
    FakeLoaderProbe::Reset();
  }
  void TearDown() override { FakeAccessDatabases::Clear(); }

  ScopedActiveCodePage codePage_{1252};
};

TEST(CreateImporter, ChoosesGleaneryOnlyForTheExactExtensionXrd) {
  struct Case {
    UnicodeString path;
    bool gleanery;
  } cases[] = {
      {u"D:\\data\\notes.xrd", true},
      {u"notes.xrd", true},
      {u".xrd", true},
      {u"C:notes.xrd", true},
      {u"/home/user/notes.xrd", true},  // '/' is no separator, the last '.' still starts ".xrd"
      {u"D:\\data\\notes.xtp", false},
      {u"D:\\data\\notes.XRD", false},
      {u"D:\\data\\notes.Xrd", false},
      {u"D:\\data\\notes", false},
      {u"", false},
      {u"D:\\data.xrd\\notes", false},  // the last dot lies before the last backslash
      {u"D:\\data.xrd\\", false},
      {u"notes.xrd:stream", false},     // ':' ends the extension search
      {u"/home/x.xrd/notes", false},    // extension ".xrd/notes"
      {u"notes.xrd ", false},
      {u"notes.xrd.bak", false},
      {u"notes.xr", false},
      {u"notes.xrdx", false},
  };
  for (const Case& c : cases) {
    std::unique_ptr<DocumentImporter> importer = CreateImporter(c.path);
    ASSERT_NE(importer, nullptr);
    EXPECT_EQ(dynamic_cast<GleaneryDocumentImporter*>(importer.get()) != nullptr, c.gleanery)
        << std::string(c.path.begin(), c.path.end());
    EXPECT_EQ(dynamic_cast<ArvolineDocumentImporter*>(importer.get()) != nullptr, !c.gleanery);
    EXPECT_EQ(importer->Path(), c.path);
  }
}

TEST(DocumentImporterNames, EachVariantNamesItsTableFieldsAndRootKey) {
  ArvolineDocumentImporter arvoline(u"a.xtp");
  GleaneryDocumentImporter gleanery(u"a.xrd");
  struct Row {
    DocumentImporter* importer;
    UnicodeString table, structure, root, content;
  } rows[] = {
      {&arvoline, u"Arvoline32XTPro", u"NodeTextValue", u"~Arvo32XT", u"NodeTextRTFValue"},
      {&gleanery, u"DocumentsTreeNodes", u"NodeDocumentDescription", u"~DocsTree", u"NodeDocumentKeywords"},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(r.importer->TableName(), r.table);
    EXPECT_EQ(r.importer->StructureFieldName(), r.structure);
    EXPECT_EQ(r.importer->RootKey(), r.root);
    EXPECT_EQ(r.importer->ContentFieldName(), r.content);
    EXPECT_EQ(r.importer->KeyFieldName(), u"NodeKeyValue");
  }
}

TEST_F(DocumentImporterTest, ANewImporterHasAnEmptyQueueAndAClosedDataset) {
  ArvolineDocumentImporter importer(kArvolinePath);
  EXPECT_TRUE(importer.IsQueueEmpty());
  ASSERT_NE(importer.DataSet(), nullptr);
  EXPECT_FALSE(importer.DataSet()->Active());
  EXPECT_EQ(importer.DataSet()->Owner(), nullptr);
  EXPECT_EQ(FakeLoaderProbe::Instance().constructed, 0);
}

TEST_F(DocumentImporterTest, OpenLoadsTheNodeTableAndQueuesTheItemsInOutlineOrder) {
  FakeAccessDatabases::Register(kArvolinePath, u"Arvoline32XTPro",
                                ArvolineTable({{u"A1", Variant::Null(), u"first content"},
                                               {u"~Arvo32XT", kThreeItems, Variant::Null()},
                                               {u"C3", Variant::Null(), u"third content"},
                                               {u"B2", Variant::Null(), u"second content"}}));
  std::unique_ptr<DocumentImporter> importer = CreateImporter(kArvolinePath);
  importer->Open();

  const FakeLoaderProbe& probe = FakeLoaderProbe::Instance();
  EXPECT_EQ(probe.dataSet, importer->DataSet());
  EXPECT_EQ(probe.keyField, u"NodeKeyValue");
  EXPECT_EQ(probe.path, kArvolinePath);
  EXPECT_EQ(probe.tableName, u"Arvoline32XTPro");
  EXPECT_EQ(probe.constructed, 1);
  EXPECT_EQ(probe.destroyed, 1) << "the loader lives only for the load";

  EXPECT_EQ(Drain(*importer), (std::vector<TreeItem>{{u"A1", 0, u"First"}, {u"B2", 1, u"Two"}, {u"C3", 2, u"Three"}}));
  EXPECT_TRUE(importer->IsQueueEmpty());
  EXPECT_THROW(importer->NextItem(), Queue<TreeItem>::ReadEmptyQueue);
  // The importer stays usable for lookups after the queue ran dry.
  EXPECT_EQ(importer->DocumentText(u"B2"), "second content");
  EXPECT_EQ(importer->DocumentText(u"A1"), "first content");
  EXPECT_EQ(importer->DocumentText(u"C3"), "third content");
}

TEST_F(DocumentImporterTest, GleaneryDatabasesUseTheirOwnNames) {
  UnicodeString outline = Entry(u"Root", u"G1", u"Gleaned") + Entry(u"G1", u"G2", u"Child");
  FakeAccessDatabases::Register(kGleaneryPath, u"DocumentsTreeNodes",
                                GleaneryTable({{u"~DocsTree", Variant::Null(), outline},
                                               {u"G1", u"kw one", u"not the content"},
                                               {u"G2", u"kw two", Variant::Null()}}));
  std::unique_ptr<DocumentImporter> importer = CreateImporter(kGleaneryPath);
  importer->Open();
  EXPECT_EQ(FakeLoaderProbe::Instance().tableName, u"DocumentsTreeNodes");
  EXPECT_EQ(Drain(*importer), (std::vector<TreeItem>{{u"G1", 0, u"Gleaned"}, {u"G2", 1, u"Child"}}));
  EXPECT_EQ(importer->DocumentText(u"G1"), "kw one");
  EXPECT_EQ(importer->DocumentText(u"G2"), "kw two");
}

TEST_F(DocumentImporterTest, ContentLookupsFollowTheKeysExactly) {
  UnicodeString outline = Entry(u"Root", u"A", u"a") + Entry(u"Root", u"A", u"again") + Entry(u"Root", u"missing", u"m") +
                          Entry(u"Root", u"a", u"lower") + Entry(u"Root", u"~Arvo32XT", u"root itself");
  FakeAccessDatabases::Register(kArvolinePath, u"Arvoline32XTPro",
                                ArvolineTable({{u"~Arvo32XT", outline, u"root content"},
                                               {u"A", Variant::Null(), u"  spaced\r\nlines  "},
                                               {u"E", Variant::Null(), Variant::Null()}}));
  ArvolineDocumentImporter importer(kArvolinePath);
  importer.Open();
  ASSERT_EQ(Drain(importer).size(), 5u);

  struct Lookup {
    UnicodeString key;
    UTF8String content;
  } lookups[] = {
      {u"A", "  spaced\r\nlines  "},  // handed on exactly as stored
      {u"a", ""},                      // keys are case-sensitive
      {u"missing", ""},                // no record: empty, no error
      {u"~Arvo32XT", "root content"},  // the root record is a record like any other
      {u"E", ""},                      // a null content field
      {u"", ""},
  };
  for (const Lookup& l : lookups) EXPECT_EQ(importer.DocumentText(l.key), l.content);
  // A key listed twice gives the same content twice.
  EXPECT_EQ(importer.DocumentText(u"A"), importer.DocumentText(u"A"));
}

TEST_F(DocumentImporterTest, TextsOutsideAsciiArriveAsUtf8OfTheAnsiForm) {
  UnicodeString outline = Entry(u"Root", u"K\u00C4", u"\u00DC");
  FakeAccessDatabases::Register(kArvolinePath, u"Arvoline32XTPro",
                                ArvolineTable({{u"~Arvo32XT", outline, Variant::Null()},
                                               {u"K\u00C4", Variant::Null(), u"Gr\u00FC\u00DFe \u20AC \u0416"}}));
  ArvolineDocumentImporter importer(kArvolinePath);
  importer.Open();
  EXPECT_EQ(importer.NextItem(), (TreeItem{u"K\u00C4", 0, u"\u00DC"}));
  // U+0416 has no place in code page 1252 and comes back as its default character.
  EXPECT_EQ(importer.DocumentText(u"K\u00C4"), "Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC ?");
}

TEST_F(DocumentImporterTest, AnEmptyOrNullOutlineQueuesNothing) {
  for (Variant structure : {Variant(u""), Variant::Null(), Variant(u"xy")}) {
    FakeAccessDatabases::Register(kArvolinePath, u"Arvoline32XTPro",
                                  ArvolineTable({{u"~Arvo32XT", structure, u"c"}}));
    ArvolineDocumentImporter importer(kArvolinePath);
    importer.Open();
    EXPECT_TRUE(importer.IsQueueEmpty());
  }
}

struct FailureCase {
  const char* name;
  UnicodeString path;
  std::function<void()> setUp;
  std::string message;
};

TEST_F(DocumentImporterTest, AFailedOpeningQueuesNothingAndReleasesTheLoader) {
  const UnicodeString withParseError = Entry(u"Root", u"A", u"a") + u"5 Root";
  const FailureCase cases[] = {
      {"empty path", u"", [] {}, "Property SourceFileName wasn't specified."},
      {"database cannot be opened", u"C:\\nowhere\\none.xtp", [] {},
       "Cannot perform this operation on a closed dataset"},
      {"root record missing", kArvolinePath,
       [] {
         FakeAccessDatabases::Register(kArvolinePath, u"Arvoline32XTPro",
                                       ArvolineTable({{u"A", kThreeItems, u"x"}, {u"~arvo32xt", kThreeItems, u"x"}}));
       },
       "Cannot find specified record"},
      {"root key of the other variant", kArvolinePath,
       [] {
         FakeAccessDatabases::Register(kArvolinePath, u"Arvoline32XTPro", ArvolineTable({{u"~DocsTree", kThreeItems, u"x"}}));
       },
       "Cannot find specified record"},
      {"structure field missing", kGleaneryPath,
       [] {
         FakeTable table;
         table.columns = {{u"NodeKeyValue", itString, 50}, {u"NodeDocumentKeywords", itMEMO, 0}};
         table.rows = {{u"~DocsTree", u"x"}};
         FakeAccessDatabases::Register(kGleaneryPath, u"DocumentsTreeNodes", table);
       },
       "Field 'NodeDocumentDescription' not found"},
      {"malformed outline", kArvolinePath,
       [&withParseError] {
         FakeAccessDatabases::Register(kArvolinePath, u"Arvoline32XTPro", ArvolineTable({{u"~Arvo32XT", withParseError, u"x"}}));
       },
       "''5 '' is not a valid integer value"},
  };
  for (const FailureCase& c : cases) {
    FakeAccessDatabases::Clear();
    FakeLoaderProbe::Reset();
    c.setUp();
    std::unique_ptr<DocumentImporter> importer = CreateImporter(c.path);
    try {
      importer->Open();
      ADD_FAILURE() << c.name << ": no error";
    } catch (const std::exception& e) {
      EXPECT_EQ(e.what(), c.message) << c.name;
    }
    EXPECT_TRUE(importer->IsQueueEmpty()) << c.name;
    EXPECT_EQ(FakeLoaderProbe::Instance().constructed, 1) << c.name;
    EXPECT_EQ(FakeLoaderProbe::Instance().destroyed, 1) << c.name;
    DestructionWatcher watcher(importer->DataSet());
    importer.reset();
    EXPECT_TRUE(watcher.Seen()) << c.name << ": dataset not destroyed with the importer";
  }
}

TEST_F(DocumentImporterTest, FailuresRaiseTheRuntimeErrorClasses) {
  FakeAccessDatabases::Register(kArvolinePath, u"Arvoline32XTPro", ArvolineTable({{u"A", kThreeItems, u"x"}}));
  EXPECT_THROW(ArvolineDocumentImporter(kArvolinePath).Open(), ERangeError);
  EXPECT_THROW(ArvolineDocumentImporter(u"C:\\nowhere.xtp").Open(), EDatabaseError);
  FakeAccessDatabases::Register(kArvolinePath, u"Arvoline32XTPro", ArvolineTable({{u"~Arvo32XT", u"ab!", u"x"}}));
  EXPECT_THROW(ArvolineDocumentImporter(kArvolinePath).Open(), EConvertError);
  FakeAccessDatabases::Register(kArvolinePath, u"Arvoline32XTPro", ArvolineTable({{u"~Arvo32XT", u"-1Root", u"x"}}));
  EXPECT_THROW(ArvolineDocumentImporter(kArvolinePath).Open(), EEncodingError);
}

TEST_F(DocumentImporterTest, AMissingContentFieldFailsTheLookupNotTheOpening) {
  FakeTable table;
  table.columns = {{u"NodeKeyValue", itString, 50}, {u"NodeTextValue", itMEMO, 0}};
  table.rows = {{u"~Arvo32XT", kThreeItems}, {u"A1", u"x"}};
  FakeAccessDatabases::Register(kArvolinePath, u"Arvoline32XTPro", table);
  ArvolineDocumentImporter importer(kArvolinePath);
  importer.Open();
  EXPECT_EQ(importer.NextItem().key, u"A1");
  try {
    importer.DocumentText(u"A1");
    FAIL() << "no error";
  } catch (const EDatabaseError& e) {
    EXPECT_STREQ(e.what(), "Field 'NodeTextRTFValue' not found");
  }
  EXPECT_EQ(importer.DocumentText(u"none"), "") << "no record, so no field is read";
  EXPECT_EQ(importer.NextItem().key, u"B2");
}

TEST_F(DocumentImporterTest, DestroyingAnImporterWithQueuedItemsReleasesItsDataset) {
  FakeAccessDatabases::Register(kArvolinePath, u"Arvoline32XTPro", ArvolineTable({{u"~Arvo32XT", kThreeItems, u"x"}}));
  auto importer = std::make_unique<ArvolineDocumentImporter>(kArvolinePath);
  importer->Open();
  importer->NextItem();
  DestructionWatcher watcher(importer->DataSet());
  importer.reset();
  EXPECT_TRUE(watcher.Seen());
}

}  // namespace
