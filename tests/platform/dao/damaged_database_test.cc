// Damaged and hostile Access files through the DAO engine: each case is a
// file written by the project's writer plus one exact piece of damage
// (DatabaseDamage). Every one must end in a clean EOleError or a correct
// read, never a crash, a hang or a value silently cut short.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <functional>
#include <future>

#include "platform/automation/create_ole_object.h"
#include "runtime/exceptions.h"
#include "runtime/utf8.h"
#include "tests/jet/database_damage.h"
#include "tests/platform/automation/temp_directory.h"
#include "tools/accessdb/database_writer.h"
#include "tools/accessdb/header_page.h"
#include "tools/accessdb/jet_format.h"

using accessdb::ColumnType;
using accessdb::Value;

namespace {

Variant Open(const std::string& path) {
  return CreateOleObject(u"DAO.DBEngine.36").Call(u"OpenDatabase", {Variant(FromUtf8(path))});
}

Variant OpenNotes(const Variant& db) {
  return db.Call(u"OpenRecordset", {Variant(u"Notes"), Variant(1), Variant(0), Variant(2)});
}

Variant FieldValue(const Variant& rs, const char16_t* name) {
  return rs.Get(u"Fields").Get(u"Item", {Variant(name)}).Get(u"Value");
}

std::string ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const EOleError& e) {
    return ToUtf8(e.Message());
  }
  return "(no error)";
}

const size_t kChainLength = 9973;  // several long-value rows in both formats
const char kSingleMarker[] = "SINGLE-ROW-MARKER";

std::string ChainText() {
  std::string s;
  while (s.size() < kChainLength) s += "chain-part ";
  s.resize(kChainLength);
  return s;
}

// Notes(Key, Body): "chain" holds a memo stored as a chain of long-value
// rows, "single" one stored in one long-value row, "last" a short memo.
void WriteNotes(const std::string& path, accessdb::Format format) {
  accessdb::DatabaseOptions options;
  options.format = format;
  accessdb::DatabaseWriter w(path, options);
  w.BeginTable("Notes", {{"Key", ColumnType::kText, 20}, {"Body", ColumnType::kMemo}});
  w.AddRow({Value::Text("chain"), Value::Text(ChainText())});
  w.AddRow({Value::Text("single"), Value::Text(kSingleMarker + std::string(300, 's'))});
  w.AddRow({Value::Text("last"), Value::Text("short")});
  w.Finish();
}

// Reads every value of Notes; the keys read and the first error met.
struct ReadResult {
  std::vector<std::string> keys;
  std::string error;
};

ReadResult ReadAllNow(const std::string& path) {
  ReadResult r;
  std::string outer = ErrorOf([&] {
    Variant rs = OpenNotes(Open(path));
    while (!rs.Get(u"Eof").ToBoolean()) {
      std::string key;
      std::string err = ErrorOf([&] {
        key = ToUtf8(FieldValue(rs, u"Key").ToString());
        FieldValue(rs, u"Body");
      });
      if (err != "(no error)" && r.error.empty()) r.error = err;
      r.keys.push_back(err == "(no error)" ? key : "(damaged)");
      rs.Call(u"MoveNext", {});
    }
  });
  if (outer != "(no error)" && r.error.empty()) r.error = outer;
  return r;
}

// A read that hangs ends the test program at once with a message, instead
// of at CTest's time limit.
ReadResult ReadAll(const std::string& path) {
  std::future<ReadResult> read = std::async(std::launch::async, ReadAllNow, path);
  if (read.wait_for(std::chrono::seconds(60)) != std::future_status::ready) {
    std::fprintf(stderr, "reading %s hangs\n", path.c_str());
    std::_Exit(1);
  }
  return read.get();
}

// The 12-byte header of the chained memo in its data row: its stored length
// (Jet 4 keeps the ASCII text compressed, after the two bytes FF FE), flags 0.
size_t ChainHeader(const DatabaseDamage& d) {
  const uint32_t word = static_cast<uint32_t>(d.PageSize() == 4096 ? kChainLength + 2 : kChainLength);
  return d.Find(std::string(reinterpret_cast<const char*>(&word), 4));
}

// The long-value header of the catalog's one property value (MSysDb's), which
// starts with `magic`: inline in the row, or pointing to one long-value row.
size_t PropertyHeader(const DatabaseDamage& d, const char* magic) {
  const size_t at = d.Find(magic);
  if (d.ReadU32(at - 12) >> 24 == 0x80) return at - 12;
  const DatabaseDamage::RowPointer row = d.RowHolding(magic);
  const uint32_t words[2] = {static_cast<uint32_t>(d.RowEnd(row) - d.RowStart(row)) | 0x40000000u, row.Packed()};
  return d.Find(std::string(reinterpret_cast<const char*>(words), 8));
}

class DamagedDatabase : public ::testing::TestWithParam<accessdb::Format> {
 protected:
  void SetUp() override {
    path_ = dir_.File("notes.mdb");
    WriteNotes(path_, GetParam());
  }
  // Notes written afresh, damaged by `damage`, then read whole.
  ReadResult ReadDamaged(const std::function<void(DatabaseDamage&)>& damage) {
    WriteNotes(path_, GetParam());
    DatabaseDamage d(path_);
    damage(d);
    d.Save();
    return ReadAll(path_);
  }
  TempDirectory dir_;
  std::string path_;
};

}  // namespace

TEST_P(DamagedDatabase, UndamagedFileReadsWhole) {
  ReadResult r = ReadAll(path_);
  EXPECT_EQ(r.error, "");
  EXPECT_EQ(r.keys, (std::vector<std::string>{"chain", "single", "last"}));
  Variant rs = OpenNotes(Open(path_));
  EXPECT_EQ(ToUtf8(FieldValue(rs, u"Body").ToString()), ChainText());
}

// A chain that loops, ends early or holds more than its stated length is
// damage in that one value: the other fields and rows still read.
TEST_P(DamagedDatabase, BrokenLongValueChainsRaiseInsteadOfLoopingOrCutting) {
  struct Case {
    const char* name;
    std::function<void(DatabaseDamage&)> damage;
  } cases[] = {
      {"a 4-byte part pointing at itself",
       [](DatabaseDamage& d) {
         DatabaseDamage::RowPointer first{0, 0};
         const uint32_t p = d.ReadU32(ChainHeader(d) + 4);
         first = {p >> 8, p & 0xFF};
         d.ShortenRow(first, 4);
         d.WriteU32(d.RowStart(first), first.Packed());
       }},
      {"the second part pointing back at the first",
       [](DatabaseDamage& d) {
         const uint32_t first = d.ReadU32(ChainHeader(d) + 4);
         const uint32_t second = d.ReadU32(d.RowStart({first >> 8, first & 0xFF}));
         d.WriteU32(d.RowStart({second >> 8, second & 0xFF}), first);
       }},
      {"the chain ending before the stated length",
       [](DatabaseDamage& d) {
         const uint32_t first = d.ReadU32(ChainHeader(d) + 4);
         d.WriteU32(d.RowStart({first >> 8, first & 0xFF}), 0);
       }},
      {"parts holding more than the stated length",
       [](DatabaseDamage& d) { d.WriteU32(ChainHeader(d), d.ReadU32(ChainHeader(d)) - 100); }},
      {"a part on a page past the end of the file",
       [](DatabaseDamage& d) { d.WriteU32(ChainHeader(d) + 4, (d.PageCount() + 3) << 8); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ReadResult r = ReadDamaged(c.damage);
    EXPECT_EQ(r.keys, (std::vector<std::string>{"(damaged)", "single", "last"}));
    EXPECT_TRUE(r.error == "The long value of field 'Body' is damaged." ||
                r.error == "A long value points to a page that cannot be read.")
        << r.error;
  }
}

// Usage-map rows that a reader taking them on trust would dereference
// (length 0), read past (shorter than the map's header) or follow off the end
// of the file (an indirect map).
TEST_P(DamagedDatabase, DamagedUsageMapsAreRefusedBeforeTheyAreFollowed) {
  struct Case {
    const char* name;
    bool catalog;  // the system catalog's map, else the Notes table's
    std::function<void(DatabaseDamage&, DatabaseDamage::RowPointer)> damage;
  } cases[] = {
      {"catalog map of length 0", true, [](DatabaseDamage& d, auto) { d.EmptyUsageMap(2); }},
      {"table map of length 0", false, [](DatabaseDamage& d, auto) { d.EmptyUsageMap(d.TablePage("Notes")); }},
      {"table map shorter than its header", false, [](DatabaseDamage& d, auto map) { d.ShortenRow(map, 3); }},
      {"indirect map naming a page past the end", false,
       [](DatabaseDamage& d, auto map) {
         d.WriteByte(d.RowStart(map), 1);
         d.WriteU32(d.RowStart(map) + 1, d.PageCount() + 10);
       }},
      {"map listing pages past the end", false,
       [](DatabaseDamage& d, auto map) { d.WriteU32(d.RowStart(map) + 1, d.PageCount() + 1); }},
      {"map whose first page lies far past the end (once scanned page by page)", false,
       [](DatabaseDamage& d, auto map) { d.WriteU32(d.RowStart(map) + 1, 0xFFFFF000u); }},
      {"map row pointing to a missing row", false,
       [](DatabaseDamage& d, auto) {
         const size_t pointer = static_cast<size_t>(d.TablePage("Notes")) * d.PageSize() + (d.PageSize() == 2048 ? 35 : 55);
         d.WriteU32(pointer, d.ReadU32(pointer) | 0xF0);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteNotes(path_, GetParam());
    DatabaseDamage d(path_);
    c.damage(d, d.UsageMapRow(c.catalog ? 2 : d.TablePage("Notes")));
    d.Save();
    ReadResult r = ReadAll(path_);
    EXPECT_TRUE(r.keys.empty());
    if (c.catalog)
      EXPECT_EQ(r.error, "Unrecognized database format '" + path_ +
                             "'. Cannot read the definition of table 'MSysObjects'. The usage map of the table is damaged.");
    else
      EXPECT_TRUE(r.error == "Cannot read the definition of table 'Notes'. The usage map of the table is damaged." ||
                  r.error == "The usage map of the table is damaged.")  // met while reading
          << r.error;
  }
}

// A definition whose columns run on past its page into a page that is not
// there: the error names the table.
TEST_P(DamagedDatabase, UnreadableTableDefinitionsNameTheTable) {
  DatabaseDamage d(path_);
  const size_t definition = static_cast<size_t>(d.TablePage("Notes")) * d.PageSize();
  const size_t columnCount = definition + (d.PageSize() == 4096 ? 45 : 25);
  d.WriteByte(columnCount, 0xFF);
  d.WriteByte(columnCount + 1, 0x0F);
  d.WriteU32(definition + 4, d.PageCount() + 100);  // the definition's next page
  d.Save();
  ReadResult r = ReadAll(path_);
  EXPECT_TRUE(r.keys.empty());
  EXPECT_EQ(r.error.rfind("Cannot read the definition of table 'Notes'.", 0), 0u) << r.error;
}

// A zeroed data page is a damaged record, not an empty table; a file cut
// short fails, whatever it loses.
TEST_P(DamagedDatabase, ZeroedAndMissingPagesAreReported) {
  uint32_t dataPage;
  {
    DatabaseDamage d(path_);
    dataPage = d.RowHolding("last").page;
    d.ZeroPage(dataPage);
    d.Save();
  }
  ReadResult zeroed = ReadAll(path_);
  EXPECT_EQ(zeroed.keys, std::vector<std::string>{"(damaged)"});
  EXPECT_EQ(zeroed.error, "Page " + std::to_string(dataPage) + " of table 'Notes' is damaged.");

  WriteNotes(path_, GetParam());
  const int pageSize = DatabaseDamage(path_).PageSize();
  for (size_t size : {static_cast<size_t>(dataPage) * pageSize, static_cast<size_t>(3 * pageSize + 100), size_t{10}}) {
    SCOPED_TRACE(size);
    WriteNotes(path_, GetParam());
    DatabaseDamage d(path_);
    d.Truncate(size);
    d.Save();
    EXPECT_NE(ReadAll(path_).error, "");
  }
}

// The catalog's property long values are never followed: one that points at
// itself (a catalog reader that followed it would loop for ever) leaves the
// file readable.
TEST_P(DamagedDatabase, SelfReferencingCatalogPropertiesAreNotFollowed) {
  DatabaseDamage d(path_);
  const size_t header = PropertyHeader(d, GetParam() == accessdb::Format::kJet4 ? "MR2" : "KKD");
  const DatabaseDamage::RowPointer lv = d.RowHolding(kSingleMarker);
  d.WriteU32(header, 1000);  // a chain of 1000 bytes ...
  d.WriteU32(header + 4, lv.Packed());
  d.WriteU32(d.RowStart(lv), lv.Packed());  // ... whose first part points at itself
  d.Save();
  ReadResult r = ReadAll(path_);
  EXPECT_EQ(r.error, "");
  EXPECT_EQ(r.keys, (std::vector<std::string>{"chain", "single", "last"}));
}

// A header naming a code page the platform cannot convert: Jet 3 keeps its
// text in that page, so the file cannot be read; Jet 4 text is Unicode and
// reads as it is.
TEST_P(DamagedDatabase, UnknownCodePagesStopOnlyJet3Files) {
  const accessdb::JetFormat& format = accessdb::FormatConstants(GetParam());
  std::string bytes;
  {
    std::ifstream in(path_, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), {});
  }
  accessdb::Bytes header(bytes.begin(), bytes.begin() + format.page_size);
  accessdb::ToggleHeaderMask(format, header);
  header[0x3C] = 0x39;  // code page 12345
  header[0x3D] = 0x30;
  accessdb::ToggleHeaderMask(format, header);
  std::copy(header.begin(), header.end(), bytes.begin());
  std::ofstream(path_, std::ios::binary | std::ios::trunc) << bytes;

  ReadResult r = ReadAll(path_);
  if (GetParam() == accessdb::Format::kJet3) {
    EXPECT_TRUE(r.keys.empty());
    EXPECT_EQ(r.error, "Unrecognized database format '" + path_ +
                           "'. No mapping for the Unicode character exists in the target multi-byte code page (12345)");
  } else {
    EXPECT_EQ(r.error, "");
    EXPECT_EQ(r.keys, (std::vector<std::string>{"chain", "single", "last"}));
  }
}

// Damage a lenient reader would take for data (a column read as Null, a key
// cut short, a value read as empty, one value read for every row) makes the
// table or the value damaged.
TEST_P(DamagedDatabase, WhatNoWellFormedFileHoldsIsDamageNotData) {
  const bool jet4 = GetParam() == accessdb::Format::kJet4;
  const std::vector<std::string> allRead{"chain", "single", "last"};
  const std::string bodyDamaged = "Cannot read the definition of table 'Notes'. The definition of column 'Body' is damaged.";
  // The Body column's entry (the second), and the headers of its long values.
  auto bodyEntry = [](DatabaseDamage& d, int field) {
    return d.ColumnEntry(d.TablePage("Notes"), 1) + static_cast<size_t>(field);
  };
  auto header = [&](DatabaseDamage& d, uint32_t storedLength, uint32_t flags) {
    const uint32_t word = storedLength | flags << 24;
    return d.Find(std::string(reinterpret_cast<const char*>(&word), 4));
  };
  const uint32_t singleLength = static_cast<uint32_t>(std::strlen(kSingleMarker) + 300 + (jet4 ? 2 : 0));
  const uint32_t inlineLength = jet4 ? 7 : 5;  // "short"
  struct Case {
    const char* name;
    std::function<void(DatabaseDamage&)> damage;
    std::vector<std::string> keys;
    std::string error;
  } cases[] = {
      {"a variable-column index of 0x7FFF",
       [&](DatabaseDamage& d) { d.WriteU32(bodyEntry(d, d.Format().columnVariableIndex), 0x7FFF); }, {}, bodyDamaged},
      {"a column number past the count",
       [&](DatabaseDamage& d) { d.WriteByte(bodyEntry(d, d.Format().columnNumber), 0x40); }, {}, bodyDamaged},
      {"an unknown type", [&](DatabaseDamage& d) { d.WriteByte(bodyEntry(d, 0), 0x3F); }, {}, bodyDamaged},
      {"all flags set", [&](DatabaseDamage& d) { d.WriteByte(bodyEntry(d, d.Format().columnFlags), 0xFF); }, {},
       bodyDamaged},
      {"the key's size damaged from 20 characters to 4 bytes",
       [&](DatabaseDamage& d) {
         const size_t size = d.ColumnEntry(d.TablePage("Notes"), 0) + static_cast<size_t>(d.Format().columnSize);
         d.WriteByte(size, 4);
         d.WriteByte(size + 1, 0);
       },
       jet4 ? std::vector<std::string>{"(damaged)", "(damaged)", "(damaged)"}  // 2 characters
            : std::vector<std::string>{"(damaged)", "(damaged)", "last"},
       "The value of field 'Key' is damaged."},
      {"a chain's length zeroed, its pointer left", [&](DatabaseDamage& d) { d.WriteU32(ChainHeader(d), 0); },
       {"(damaged)", "single", "last"}, "The long value of field 'Body' is damaged."},
      {"a long-value row's length one short",
       [&](DatabaseDamage& d) { d.WriteU32(header(d, singleLength, 0x40), (singleLength - 1) | 0x40000000u); },
       {"chain", "(damaged)", "last"}, "The long value of field 'Body' is damaged."},
      {"an inline value's length one short",
       [&](DatabaseDamage& d) { d.WriteU32(header(d, inlineLength, 0x80), (inlineLength - 1) | 0x80000000u); },
       {"chain", "single", "(damaged)"}, "The long value of field 'Body' is damaged."},
      {"a second row leading to the chain's rows",
       [&](DatabaseDamage& d) {
         const size_t chain = ChainHeader(d), single = header(d, singleLength, 0x40);
         for (size_t k = 0; k < 12; k += 4) d.WriteU32(single + k, d.ReadU32(chain + k));
       },
       {"chain", "(damaged)", "last"}, "The long value of field 'Body' is damaged."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ReadResult r = ReadDamaged(c.damage);
    EXPECT_EQ(r.keys, c.keys);
    EXPECT_EQ(r.error, c.error);
  }
}

// An overflow pointer leads to the row Access moved its record to, which is
// marked as moved; one leading to an ordinary row, or round in a loop, would
// read a record twice or never end: the pointer's record is damaged.
TEST_P(DamagedDatabase, OverflowPointerToAnUnmovedRowIsDamage) {
  const struct {
    const char* name;
    uint32_t targetRow;  // on the page of "last", which is its row 2
  } cases[] = {{"to the first row", 0}, {"to itself", 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    DatabaseDamage::RowPointer last{};
    ReadResult r = ReadDamaged([&](DatabaseDamage& d) {
      last = d.RowHolding("last");
      const size_t entry = last.page * static_cast<size_t>(d.PageSize()) +
                           static_cast<size_t>(d.Format().rowCountOffset) + 2 + 2 * last.row;
      d.WriteByte(entry + 1, static_cast<unsigned char>((d.ReadU32(entry) >> 8) | 0x40));
      d.WriteU32(d.RowStart(last), DatabaseDamage::RowPointer{last.page, c.targetRow}.Packed());
    });
    ASSERT_EQ(last.row, 2u);
    EXPECT_EQ(r.keys, (std::vector<std::string>{"chain", "single", "(damaged)"}));
    EXPECT_EQ(r.error, "The record at row 2 of page " + std::to_string(last.page) + " of table 'Notes' is damaged.");
  }
}

// Damage that makes every cell of a row read the same bytes: 100 fixed
// columns turned into an unknown kind that takes the row's whole fixed part.
// Each column alone could be so, so the table opens; its rows would yield a
// hundred times what the file holds, and the reading stops at twice the
// file's size.
TEST_P(DamagedDatabase, ReadingStopsAtTwiceTheFilesSize) {
  const int kColumns = 100, kRows = 200;
  {
    accessdb::DatabaseOptions options;
    options.format = GetParam();
    accessdb::DatabaseWriter w(path_, options);
    std::vector<accessdb::Column> columns;
    for (int i = 0; i < kColumns; ++i) columns.push_back({"D" + std::to_string(i), ColumnType::kDouble});
    w.BeginTable("Notes", columns);
    for (int r = 0; r < kRows; ++r) w.AddRow(std::vector<Value>(kColumns, Value::Double(r)));
    w.Finish();
  }
  DatabaseDamage d(path_);
  const uint32_t table = d.TablePage("Notes");
  const JetFormat& f = d.Format();
  for (int i = 0; i < kColumns; ++i) {
    const size_t entry = d.ColumnEntry(table, i);
    d.WriteByte(entry, 0x11);
    d.WriteByte(entry + static_cast<size_t>(f.columnFixedOffset), 0);
    d.WriteByte(entry + static_cast<size_t>(f.columnFixedOffset) + 1, 0);
    d.WriteByte(entry + static_cast<size_t>(f.columnSize), static_cast<unsigned char>((kColumns * 8) & 0xFF));
    d.WriteByte(entry + static_cast<size_t>(f.columnSize) + 1, static_cast<unsigned char>((kColumns * 8) >> 8));
  }
  d.Save();
  const uint64_t fileSize = std::filesystem::file_size(path_);
  Variant rs = OpenNotes(Open(path_));
  uint64_t read = 0;
  std::string error;
  for (int r = 0; r < kRows && error.empty(); ++r, rs.Call(u"MoveNext", {})) {
    for (int32_t i = 0; i < kColumns && error.empty(); ++i) {
      error = ErrorOf([&] { rs.Get(u"Fields").Get(u"Item", {Variant(i)}).Get(u"Value"); });
      if (error == "(no error)") error.clear(), read += kColumns * 8;
    }
  }
  EXPECT_EQ(error, "Table 'Notes' is damaged: its records hold more data than the file.");
  EXPECT_GT(read, fileSize);
  EXPECT_LE(read, 2 * fileSize);
}

// Object names are unique within a container: a second table of the node
// table's name would make opening it a guess.
TEST_P(DamagedDatabase, TwoObjectsOfOneNameDamageTheCatalog) {
  {
    accessdb::DatabaseOptions options;
    options.format = GetParam();
    accessdb::DatabaseWriter w(path_, options);
    for (const char* table : {"Notes", "Notez"}) {
      w.BeginTable(table, {{"Key", ColumnType::kText, 20}});
      w.AddRow({Value::Text("k")});
      w.EndTable();
    }
    w.Finish();
  }
  DatabaseDamage d(path_);
  // The catalog keeps the name as one byte a character (Jet 3, and Jet 4's compressed text).
  d.WriteByte(d.Find("Notez") + 4, 's');
  d.Save();
  EXPECT_EQ(ReadAll(path_).error,
            "Unrecognized database format '" + path_ + "'. The catalog holds two objects named 'Notes'.");
}

TEST_P(DamagedDatabase, FifosAndDirectoriesAreRefusedWithoutBlocking) {
  const std::string fifo = dir_.File("pipe.mdb");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& path : {fifo, dir_.path()})
    EXPECT_EQ(ErrorOf([&] { Open(path); }), "Unrecognized database format '" + path + "'.");
}

// Inputs on which the database fuzzer once failed (fuzz/corpus):
// each must end in a clean error or a read, in the sanitizer build too.
TEST(FuzzRegressions, EveryRegressionInputEndsCleanly) {
  const std::filesystem::path corpus = std::filesystem::path(ARVOLINE_SOURCE_DIR) / "fuzz/corpus/database_fuzzer";
  int inputs = 0;
  for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
    if (entry.path().filename().string().rfind("regression-", 0) != 0) continue;
    ++inputs;
    SCOPED_TRACE(entry.path().filename().string());
    ErrorOf([&] {
      Variant db = Open(entry.path().string());
      for (const char16_t* table : {u"Arvoline32XTPro", u"DocumentsTreeNodes", u"Typed", u"MSysObjects"}) {
        ErrorOf([&] {
          Variant rs = db.Call(u"OpenRecordset", {Variant(table), Variant(1), Variant(0), Variant(2)});
          for (int row = 0; row < 10000 && !rs.Get(u"Eof").ToBoolean(); ++row) {
            Variant fields = rs.Get(u"Fields");
            for (int32_t i = 0; i < fields.Get(u"Count").ToInt32(); ++i)
              ErrorOf([&] { fields.Get(u"Item", {Variant(i)}).Get(u"Value"); });
            rs.Call(u"MoveNext", {});
          }
        });
      }
    });
  }
  EXPECT_GE(inputs, 2);
}

INSTANTIATE_TEST_SUITE_P(Formats, DamagedDatabase,
                         ::testing::Values(accessdb::Format::kJet3, accessdb::Format::kJet4),
                         [](const auto& info) { return info.param == accessdb::Format::kJet3 ? "Jet3" : "Jet4"; });
