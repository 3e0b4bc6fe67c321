// The four entry points, linked straight into the test with the test loader.
#include <gtest/gtest.h>

#include <csetjmp>
#include <string>
#include <vector>

#include "dataset/t_client_data_set.h"
#include "platform/code_page.h"
#include "plugin/arvoline_plugin.h"
#include "runtime/component.h"
#include "tests/importer/fake_ms_access_importer.h"
#include "tests/outline/outline_text.h"
#include "tests/plugin/host_records.h"
#include "tests/plugin/plugin_info_expectation.h"

namespace {

using host_records::Allocate;
using host_records::Document;
using outline_text::Entry;

constexpr char kPath[] = "C:\\data\\notes.xtp";

FakeTable ArvolineTable(std::vector<std::vector<Variant>> rows) {
  FakeTable table;
  table.columns = {{u"NodeKeyValue", itString, 50}, {u"NodeTextValue", itMEMO, 0}, {u"NodeTextRTFValue", itMEMO, 0}};
  table.rows = std::move(rows);
  return table;
}

void Register(const UnicodeString& outline, std::vector<std::vector<Variant>> nodes, const char* path = kPath) {
  nodes.push_back({u"~Arvo32XT", outline, Variant::Null()});
  FakeAccessDatabases::Register(FromAnsi(path), u"Arvoline32XTPro", ArvolineTable(std::move(nodes)));
}

// Hears when a component is destroyed, and how many loaders existed then.
class DestructionWatcher : public TComponent {
 public:
  explicit DestructionWatcher(TComponent* watched) { FreeNotification(watched); }
  int loadersWhenDestroyed = -1;

 protected:
  void Notification(TComponent*, TOperation operation) override {
    if (operation == TOperation::opRemove) loadersWhenDestroyed = FakeLoaderProbe::Instance().constructed;
  }
};

class EntryPointsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FakeAccessDatabases::Clear();
    FakeLoaderProbe::Reset();
  }
  void TearDown() override {
    EndImportSession();
    FakeAccessDatabases::Clear();
  }
  ScopedActiveCodePage codePage_{1252};
};

TEST(GetPluginInfo, WritesTheTextsAndIntegersAndNothingElse) {
  for (unsigned char fill : {0xFF, 0x00, 0x5A}) {
    std::vector<unsigned char> record(kPluginInfoRecordSize + 64, fill);
    const std::vector<unsigned char> before = record;
    EXPECT_EQ(GetPluginInfo(record.data()), 1);
    EXPECT_EQ(record, plugin_info_expectation::Expected(before, record)) << "fill " << int(fill);
  }
}

TEST(GetPluginInfo, LeavesTheBytesAfterEachTerminatorAlone) {
  std::vector<unsigned char> record(kPluginInfoRecordSize, 0xFF);
  GetPluginInfo(record.data());
  const char* copyright = reinterpret_cast<const char*>(&record[kPluginInfoCopyrightOffset]);
  ASSERT_LT(strnlen(copyright, 259), 259u);
  EXPECT_GT(strnlen(copyright, 259), 0u);
  EXPECT_EQ(std::string(copyright).find('\n'), std::string::npos) << "one line";
  struct Untouched {
    size_t offset;
    const char* after;
  } cases[] = {
      {5, "1.50"}, {0x7F8, "reserved"}, {0x7F9, "reserved"}, {0x7FA, "reserved"}, {0x7FB, "reserved"},
      {0x7FC + 12, ".xtp;*.xrd;"}, {0x82F + 42, "filter"}, {0x100 + 18, "name"},
  };
  for (const Untouched& u : cases) EXPECT_EQ(record[u.offset], 0xFF) << "byte after " << u.after;
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&record[0x7FC])), ".xtp;*.xrd;");
  EXPECT_EQ(record[0x7FC + 11], 0);
}

TEST_F(EntryPointsTest, WithoutASessionImportDocumentReturns2AndTouchesNothing) {
  auto check = [](const char* when) {
    Document document;
    const std::vector<unsigned char> before(document.record, document.record + sizeof document.record);
    EXPECT_EQ(ImportDocument(document.record, Allocate), 2) << when;
    EXPECT_EQ(std::vector<unsigned char>(document.record, document.record + sizeof document.record), before) << when;
    EXPECT_TRUE(document.allocatorCalls.empty()) << when;
  };
  check("before any session");
  Register(Entry(u"Root", u"A", u"a"), {{u"A", Variant::Null(), u"x"}});
  BeginImportSession(kPath, 0, 0);
  EXPECT_EQ(EndImportSession(), 1);
  check("after EndImportSession");
  EXPECT_EQ(EndImportSession(), 1);
  EXPECT_EQ(EndImportSession(), 1);
  check("after repeated EndImportSession");
}

TEST_F(EntryPointsTest, ASessionDeliversEveryDocumentOnceInOutlineOrder) {
  Register(Entry(u"Root", u"A", u"\u00DC") + Entry(u"A", u"B", u"") + Entry(u"B", u"C", u"Third") + Entry(u"Root", u"D", u"No record"),
           {{u"A", Variant::Null(), u"abc"}, {u"B", Variant::Null(), u"\u00E9t\u00E9"}, {u"C", Variant::Null(), u""}});
  // The second and third arguments carry nothing.
  EXPECT_EQ(BeginImportSession(kPath, -1, 0x7FFFFFFF), 1);

  Document document;
  EXPECT_EQ(ImportDocument(document.record, Allocate), 1);
  EXPECT_EQ(document.Level(), 0);
  EXPECT_EQ(0, std::memcmp(document.record + 4, "\xC3\x9C\x00", 3)) << "U+00DC as UTF-8 with its zero";
  EXPECT_EQ(document.record[7], 0xFF) << "nothing after the title's zero";
  ASSERT_EQ(document.allocatorCalls, (std::vector<std::vector<int32_t>>{{1, 3}}));
  EXPECT_EQ(document.buffer, (std::vector<unsigned char>{0x61, 0x62, 0x63, 0x00}));

  document.allocatorCalls.clear();
  EXPECT_EQ(ImportDocument(document.record, Allocate), 1);
  EXPECT_EQ(document.Level(), 1);
  EXPECT_EQ(document.record[4], 0) << "an empty title is a lone zero";
  EXPECT_EQ(document.allocatorCalls, (std::vector<std::vector<int32_t>>{{1, 5}}));
  EXPECT_EQ(document.Content(), "\xC3\xA9t\xC3\xA9");

  // Empty content and a key without a record: no allocator call, and the
  // content pointer keeps its former value.
  for (auto [level, title] : {std::pair<int32_t, const char*>{2, "Third"}, {0, "No record"}}) {
    document.allocatorCalls.clear();
    void* const marker = &document;
    document.SetContentPointer(marker);
    EXPECT_EQ(ImportDocument(document.record, Allocate), 1);
    EXPECT_EQ(document.Level(), level);
    EXPECT_EQ(document.Title(), title);
    EXPECT_TRUE(document.allocatorCalls.empty()) << title;
    EXPECT_EQ(document.ContentPointer(), marker) << title;
  }

  const std::vector<unsigned char> last(document.record, document.record + sizeof document.record);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(ImportDocument(document.record, Allocate), 2);
    EXPECT_EQ(std::vector<unsigned char>(document.record, document.record + sizeof document.record), last);
  }
  EXPECT_EQ(EndImportSession(), 1);
}

TEST_F(EntryPointsTest, ContentStopsAtItsFirstZeroByte) {
  Register(Entry(u"Root", u"A", u"a"), {{u"A", Variant::Null(), UnicodeString(u"ab\0cd", 5)}});
  BeginImportSession(kPath, 0, 0);
  Document document;
  EXPECT_EQ(ImportDocument(document.record, Allocate), 1);
  if (document.allocatorCalls.empty()) GTEST_SKIP() << "the dataset does not keep zero characters in memo fields";
  // Whatever length the host was told, the buffer holds the text up to the
  // zero, terminated, and nothing beyond the buffer is written.
  EXPECT_EQ(document.Content(), "ab");
  EXPECT_EQ(document.buffer.size(), static_cast<size_t>(document.allocatorCalls[0][1]) + 1);
}

TEST_F(EntryPointsTest, AnAllocatorThatLeavesTheContentPointerNullGetsNoWrite) {
  Register(Entry(u"Root", u"A", u"a") + Entry(u"Root", u"B", u"b"), {{u"A", Variant::Null(), u"abc"}, {u"B", Variant::Null(), u"de"}});
  BeginImportSession(kPath, 0, 0);
  Document document;
  document.leaveContentPointerNull = true;
  EXPECT_EQ(ImportDocument(document.record, Allocate), 1);
  EXPECT_EQ(document.allocatorCalls.size(), 1u);
  EXPECT_EQ(document.ContentPointer(), nullptr);
  EXPECT_EQ(document.buffer, std::vector<unsigned char>(4, 0xEE)) << "the buffer handed to nobody stays untouched";
  // A host without an allocator at all is not called.
  EXPECT_EQ(ImportDocument(document.record, nullptr), 1);
  EXPECT_EQ(document.Title(), "b");
}

// A host may leave its allocator by an OS exception, which skips the
// destructors of the module's frames in between. longjmp does the same here:
// the module must hold nothing in those frames that would then be lost (the
// sanitizer build's leak check sees it) and must go on serving.
std::jmp_buf allocatorEscape;

int32_t ARVOLINE_STDCALL EscapingAllocate(void*, int32_t, int32_t) { std::longjmp(allocatorEscape, 1); }

TEST_F(EntryPointsTest, AnAllocatorLeftWithoutUnwindingLosesNothing) {
  UnicodeString bigContent(100000, u'x');
  Register(Entry(u"Root", u"A", u"a") + Entry(u"Root", u"B", u"b"),
           {{u"A", Variant::Null(), bigContent}, {u"B", Variant::Null(), u"de"}});
  BeginImportSession(kPath, 0, 0);
  Document first;
  if (setjmp(allocatorEscape) == 0) {
    ImportDocument(first.record, EscapingAllocate);
    FAIL() << "the allocator was not called";
  }
  EXPECT_EQ(first.Title(), "a");
  Document second;
  EXPECT_EQ(ImportDocument(second.record, Allocate), 1);
  EXPECT_EQ(second.Title(), "b");
  EXPECT_EQ(second.Content(), "de");
}

TEST_F(EntryPointsTest, BeginningASecondSessionDestroysTheFirstImporterBeforeLoading) {
  Register(Entry(u"Root", u"A", u"first db"), {}, "first.xtp");
  Register(Entry(u"Root", u"B", u"second db"), {}, "second.xtp");
  BeginImportSession("first.xtp", 0, 0);
  DestructionWatcher watcher(FakeLoaderProbe::Instance().dataSet);
  BeginImportSession("second.xtp", 0, 0);
  EXPECT_EQ(watcher.loadersWhenDestroyed, 1) << "the earlier importer goes before the new one loads";
  Document document;
  EXPECT_EQ(ImportDocument(document.record, Allocate), 1);
  EXPECT_EQ(document.Title(), "second db");
  EXPECT_EQ(ImportDocument(document.record, Allocate), 2);
}

TEST_F(EntryPointsTest, AFailedOpeningLeavesAnEmptySessionThatEndImportSessionCloses) {
  struct Case {
    const char* name;
    const char* path;
    const char* message;
  } cases[] = {
      {"empty path", "", "Property SourceFileName wasn't specified."},
      {"unreadable database", "C:\\nowhere\\missing.xtp", "Cannot perform this operation on a closed dataset"},
      {"root record missing", kPath, "Cannot find specified record"},
  };
  FakeAccessDatabases::Register(FromAnsi(kPath), u"Arvoline32XTPro", ArvolineTable({{u"A", u"x", u"y"}}));
  for (const Case& c : cases) {
    FakeLoaderProbe::Reset();
    try {
      BeginImportSession(c.path, 0, 0);
      ADD_FAILURE() << c.name << ": no error";
    } catch (const std::exception& e) {
      EXPECT_STREQ(e.what(), c.message) << c.name;
    }
    DestructionWatcher watcher(FakeLoaderProbe::Instance().dataSet);
    Document document;
    EXPECT_EQ(ImportDocument(document.record, Allocate), 2) << c.name;
    EXPECT_EQ(watcher.loadersWhenDestroyed, -1) << c.name;
    EXPECT_EQ(EndImportSession(), 1);
    EXPECT_NE(watcher.loadersWhenDestroyed, -1) << c.name << ": importer not destroyed";
  }
}

TEST_F(EntryPointsTest, AFailedContentLookupComesAfterTitleAndLevelAndTheSessionGoesOn) {
  FakeTable table;
  table.columns = {{u"NodeKeyValue", itString, 50}, {u"NodeTextValue", itMEMO, 0}};
  table.rows = {{u"~Arvo32XT", Entry(u"Root", u"A", u"a") + Entry(u"A", u"B", u"b") + Entry(u"Root", u"Z", u"z")},
                {u"A", u""},
                {u"B", u""}};
  FakeAccessDatabases::Register(FromAnsi(kPath), u"Arvoline32XTPro", table);
  BeginImportSession(kPath, 0, 0);
  Document document;
  try {
    ImportDocument(document.record, Allocate);
    FAIL() << "no error";
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "Field 'NodeTextRTFValue' not found");
  }
  EXPECT_EQ(document.Title(), "a");
  EXPECT_EQ(document.Level(), 0);
  EXPECT_THROW(ImportDocument(document.record, Allocate), std::exception);
  EXPECT_EQ(document.Title(), "b");
  EXPECT_EQ(document.Level(), 1);
  // A key without a record reads no field, so the session carries on.
  EXPECT_EQ(ImportDocument(document.record, Allocate), 1);
  EXPECT_EQ(document.Title(), "z");
  EXPECT_EQ(ImportDocument(document.record, Allocate), 2);
}

TEST_F(EntryPointsTest, ThePathIsReadInTheActiveAnsiCodePage) {
  struct Case {
    int32_t codePage;
    const char* ansiPath;
    UnicodeString expected;
  } cases[] = {
      {1252, "C:\\\xDC" "ber\\notes.xrd", u"C:\\\u00DCber\\notes.xrd"},
      {1251, "C:\\\xC4\xE0\xED\xED\xFB\\n.xtp", u"C:\\\u0414\u0430\u043D\u043D\u044B\\n.xtp"},
      {932, "C:\\\x93\xFA\x96\x7B\\n.xtp", u"C:\\\u65E5\u672C\\n.xtp"},
  };
  for (const Case& c : cases) {
    ScopedActiveCodePage codePage(c.codePage);
    FakeLoaderProbe::Reset();
    EXPECT_THROW(BeginImportSession(c.ansiPath, 0, 0), std::exception) << "no such database";
    EXPECT_EQ(FakeLoaderProbe::Instance().path, c.expected) << c.codePage;
  }
  EXPECT_EQ(FakeLoaderProbe::Instance().tableName, u"Arvoline32XTPro");
  ScopedActiveCodePage codePage(1252);
  EXPECT_THROW(BeginImportSession("C:\\\xDC" "ber\\notes.xrd", 0, 0), std::exception);
  EXPECT_EQ(FakeLoaderProbe::Instance().tableName, u"DocumentsTreeNodes");
}

}  // namespace
