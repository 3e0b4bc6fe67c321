// The damage report after an export: databases written by the project's
// writer, damaged where a note needs its bytes, exported by the real plug-in.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "host/node_table_check.h"
#include "tests/host/host_process.h"
#include "tests/jet/database_damage.h"
#include "tests/platform/automation/temp_directory.h"
#include "tools/accessdb/outline_database.h"

namespace {

const std::string kLong(1500, 'L');  // stored outside the row, in one long-value row

std::vector<accessdb::OutlineNode> Nodes() {
  return {
      {"Root", "Ka", "First", "{\\rtf1 first " + kLong + "}"},
      {"Ka", "Kb", "Second", std::string("inline-second")},
      {"Kb", "Kc", "Third", std::string("inline-third")},
      {"Root", "Kd", "Fourth", std::string("inline-fourth")},
  };
}

// 26 notes, all at the top level.
std::vector<accessdb::OutlineNode> ManyNodes() {
  std::vector<accessdb::OutlineNode> nodes;
  for (char c = 'a'; c <= 'z'; ++c) nodes.push_back({"Root", std::string("K") + c, std::string("Note ") + c, "x"});
  return nodes;
}

// Replaces every occurrence of `from` with `to` (as long).
void Overwrite(DatabaseDamage& d, const std::string& from, const std::string& to) {
  for (const size_t at : d.FindAll(from))
    for (size_t i = 0; i < to.size(); ++i) d.WriteByte(at + i, static_cast<unsigned char>(to[i]));
}

struct Variant {
  const char* file;
  accessdb::OutlineVariant variant;
  accessdb::Format format;
};
const Variant kVariants[] = {
    {"notes.xtp", accessdb::OutlineVariant::kArvoline, accessdb::Format::kJet4},
    {"notes.xtp", accessdb::OutlineVariant::kArvoline, accessdb::Format::kJet3},
    {"notes.xrd", accessdb::OutlineVariant::kGleanery, accessdb::Format::kJet4},
    {"notes.xrd", accessdb::OutlineVariant::kGleanery, accessdb::Format::kJet3},
};

TEST(DamageReport, LostNotesAreReportedWithExitStatusThree) {
  struct Case {
    const char* name;
    bool many;
    std::function<void(DatabaseDamage&)> damage;
    std::string err;  // after "warning: PATH"
  } cases[] = {
      {"undamaged", false, [](DatabaseDamage&) {}, ""},
      {"long value cut", false, [](DatabaseDamage& d) { d.ShortenRow(d.RowHolding(kLong), 100); },
       " is damaged: 1 note lost its content (list in LIST)\n"
       "  content lost 1 \"First\" (key \"Ka\"): The long value of field 'CONTENT' is damaged.\n"},
      {"last data row cut", false, [](DatabaseDamage& d) { d.ShortenRow(d.RowHolding("inline-fourth"), 2); },
       " is damaged: 1 note lost its content (list in LIST)\n"
       "  content lost 2 \"Fourth\" (key \"Kd\"): its record is missing or cannot be read\n"},
      // The content's end in the row's variable offsets, past the row: the
      // record is damaged, its key still shows whose it was.
      {"content cell outside its row", false,
       [](DatabaseDamage& d) {
         const size_t end = d.RowEnd(d.RowHolding("inline-fourth"));
         if (d.PageSize() == 2048)
           d.WriteByte(end - 6, 0xFF);
         else
           d.WriteU32(end - 11, 0xFFFF | (d.ReadU32(end - 11) & 0xFFFF0000));
       },
       " is damaged: 1 note lost its content (list in LIST)\n"
       "  content lost 2 \"Fourth\" (key \"Kd\"): The record at row ROW of table 'TABLE' is damaged.\n"},
      // Bit flips that hide the fourth note's record and turn the third's key
      // into its key: the fourth note arrives with the third's content.
      {"a record hidden and its key taken by another", false,
       [](DatabaseDamage& d) {
         d.FlagRow(d.RowHolding("inline-fourth"), 0x8000);
         const DatabaseDamage::RowPointer third = d.RowHolding("inline-third");
         // The key as one or two bytes a character.
         for (const std::string& key : {std::string("Kc"), std::string("K\0c", 3)})
           for (const size_t at : d.FindAll(key))
             if (at >= d.RowStart(third) && at < d.RowEnd(third)) d.WriteByte(at + key.size() - 1, 'd');
       },
       " is damaged: 2 notes lost their content (list in LIST)\n"
       "  content lost 1.1.1 \"Third\" (key \"Kc\"): its record is missing or cannot be read\n"
       "  content lost 2 \"Fourth\" (key \"Kd\"): its record, row ROW, is flagged as moved, but nothing points to "
       "it\n"},
      {"outline key changed", false, [](DatabaseDamage& d) { Overwrite(d, "02Kd", "02Xd"); },
       " is damaged: 1 note lost its content, 1 note was never reached (list in LIST)\n"
       "  content lost 2 \"Fourth\" (key \"Xd\"): its record is missing or cannot be read\n"
       "  never reached (key \"Kd\"): no outline entry names its record\n"},
      {"every outline key changed", true, [](DatabaseDamage& d) { Overwrite(d, "02K", "02X"); }, "MANY"},
      // The last byte of a row is its null mask (key, outline, content: bits 0 to 2).
      {"null mask marks the content absent", false,
       [](DatabaseDamage& d) { d.WriteByte(d.RowEnd(d.RowHolding("inline-fourth")) - 1, 0x01); },
       " is damaged: 1 note lost its content (list in LIST)\n"
       "  content lost 2 \"Fourth\" (key \"Kd\"): The null mask of field 'CONTENT' contradicts its row.\n"},
      // Before the mask, the count of variable columns (Jet 3: 1 byte, Jet 4: 2).
      {"variable count stops before the content", false,
       [](DatabaseDamage& d) {
         d.WriteByte(d.RowEnd(d.RowHolding("inline-fourth")) - (d.PageSize() == 2048 ? 2 : 3), 2);
       },
       " is damaged: 1 note lost its content (list in LIST)\n"
       "  content lost 2 \"Fourth\" (key \"Kd\"): The null mask of field 'CONTENT' contradicts its row.\n"},
  };
  TempDirectory directory;
  for (const Variant& v : kVariants) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.name) + ", " + v.file + (v.format == accessdb::Format::kJet3 ? ", Jet 3" : ", Jet 4"));
      const std::string database = directory.File(v.file);
      accessdb::OutlineOptions options;
      options.variant = v.variant;
      options.format = v.format;
      accessdb::WriteOutlineDatabase(database, options, c.many ? ManyNodes() : Nodes());
      DatabaseDamage d(database);
      const DatabaseDamage::RowPointer fourth = c.many ? DatabaseDamage::RowPointer{} : d.RowHolding("inline-fourth");
      c.damage(d);
      d.Save();
      const std::string output = directory.File("out.json");
      const std::string list = output + ".damage.txt";
      std::filesystem::remove(list);
      const ProcessResult r =
          RunProcess(ARVOLINE_HOST, {"--plugin", ARVOLINE_MODULE, "export", database, "--to", "json", "-o", output, "-q"});
      if (c.err.empty()) {
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.err, "");
        EXPECT_FALSE(std::filesystem::exists(list));
        continue;
      }
      EXPECT_EQ(r.status, 3) << r.err;
      std::string err = c.err;
      if (err == "MANY") {
        err = " is damaged: 26 notes lost their content, 26 notes were never reached (list in LIST)\n";
        for (char k = 'a'; k <= 't'; ++k)
          err += "  content lost " + std::to_string(k - 'a' + 1) + " \"Note " + k + "\" (key \"X" + k +
                 "\"): its record is missing or cannot be read\n";
        err += "  ... and 32 more\n";
      }
      const std::string content = v.variant == accessdb::OutlineVariant::kGleanery ? "NodeDocumentKeywords"
                                                                                    : "NodeTextRTFValue";
      const std::string table = v.variant == accessdb::OutlineVariant::kGleanery ? "DocumentsTreeNodes" : "Arvoline32XTPro";
      for (const auto& [from, to] :
           {std::pair<std::string, std::string>{"LIST", list}, {"CONTENT", content}, {"TABLE", table},
            {"ROW", std::to_string(fourth.row) + " of page " + std::to_string(fourth.page)}})
        if (err.find(from) != std::string::npos) err.replace(err.find(from), from.size(), to);
      EXPECT_EQ(r.err, "warning: " + database + err);
      // The list holds every line, the summary without the list's name.
      const std::string listed = ReadFile(list);
      EXPECT_EQ(listed.substr(0, listed.find('\n')), database + err.substr(0, err.find(" (list in")));
      // The summary and one line a note: on standard error too unless cut at 20.
      EXPECT_EQ(std::count(listed.begin(), listed.end(), '\n'), c.many ? 1 + 52 : std::count(err.begin(), err.end(), '\n'));
    }
  }
}

TEST(DamageReport, AnOutlineThatStopsIsNamedBeforeTheEntriesItReached) {
  // The plug-in refuses such an outline as a whole; the check still names
  // what the entries before the damage lost, and the records after it.
  TempDirectory directory;
  for (const Variant& v : kVariants) {
    SCOPED_TRACE(std::string(v.file) + (v.format == accessdb::Format::kJet3 ? ", Jet 3" : ", Jet 4"));
    const std::string database = directory.File(v.file);
    accessdb::OutlineOptions options;
    options.variant = v.variant;
    options.format = v.format;
    accessdb::WriteOutlineDatabase(database, options, Nodes());
    DatabaseDamage d(database);
    d.ShortenRow(d.RowHolding(kLong), 100);
    Overwrite(d, "02Kc", "0xKc");
    d.Save();
    const std::vector<LostNote> lost = FindLostNotes(database);
    ASSERT_EQ(lost.size(), 4u);
    EXPECT_EQ(lost[0].kind, LostNote::kLostEntirely);
    EXPECT_EQ(lost[0].reason, "the outline stops at entry 3: ''0x'' is not a valid integer value");
    EXPECT_EQ(lost[1].kind, LostNote::kLostContent);
    EXPECT_EQ(lost[1].position + " " + lost[1].title + " " + lost[1].key, "1 First Ka");
    for (size_t i = 2; i < 4; ++i) {
      EXPECT_EQ(lost[i].kind, LostNote::kNeverReached);
      EXPECT_EQ(lost[i].key, i == 2 ? "Kc" : "Kd");
    }
  }
}

}  // namespace

namespace {

TEST(DamageReport, TheFullListGoesBesideTheOutput) {
  struct Case {
    const char* format;
    const char* output;  // in the directory, or "-"
    const char* list;    // in the directory; empty: none
  } cases[] = {
      {"markdown", "md/", "md.damage.txt"},
      {"markdown", "folder", "folder.damage.txt"},
      {"html", "notes.html", "notes.html.damage.txt"},
      {"json", "-", ""},
  };
  TempDirectory directory;
  const std::string database = directory.File("notes.xtp");
  accessdb::WriteOutlineDatabase(database, accessdb::OutlineOptions{}, Nodes());
  DatabaseDamage d(database);
  d.ShortenRow(d.RowHolding("inline-fourth"), 2);
  d.Save();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.output);
    const std::string output = c.output == std::string("-") ? c.output : directory.File(c.output);
    const ProcessResult r =
        RunProcess(ARVOLINE_HOST, {"--plugin", ARVOLINE_MODULE, "export", database, "--to", c.format, "-o", output, "-q"});
    EXPECT_EQ(r.status, 3) << r.err;
    EXPECT_TRUE(std::filesystem::exists(output) || output == "-") << "the export is kept";
    const std::string list = *c.list ? directory.File(c.list) : "";
    const std::string summary = "warning: " + database + " is damaged: 1 note lost its content";
    EXPECT_EQ(r.err.substr(0, r.err.find('\n')), list.empty() ? summary : summary + " (list in " + list + ")");
    if (!list.empty()) {
      EXPECT_NE(ReadFile(list).find("content lost 2 \"Fourth\""), std::string::npos);
    }
  }
  size_t lists = 0;
  for (const auto& entry : std::filesystem::directory_iterator(directory.path()))
    lists += entry.path().extension() == ".txt";
  EXPECT_EQ(lists, 3u) << "no list for standard output";
}

}  // namespace
