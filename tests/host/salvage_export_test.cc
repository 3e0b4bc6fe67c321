// Salvage (`export --salvage`): undamaged databases export exactly as the
// plug-in exports them, damaged ones give what the file still holds and
// name every note salvage changed; password-protected files open with their
// password only.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "tests/host/host_process.h"
#include "tests/jet/database_damage.h"
#include "tests/jet/database_header.h"
#include "tests/platform/automation/temp_directory.h"
#include "tools/accessdb/outline_database.h"

namespace {

struct Variant {
  const char* file;
  accessdb::OutlineVariant variant;
  accessdb::Format format;
  bool Jet3() const { return format == accessdb::Format::kJet3; }
  std::string Name() const { return std::string(file) + (Jet3() ? ", Jet 3" : ", Jet 4"); }
};
const Variant kVariants[] = {
    {"notes.xtp", accessdb::OutlineVariant::kArvoline, accessdb::Format::kJet4},
    {"notes.xtp", accessdb::OutlineVariant::kArvoline, accessdb::Format::kJet3},
    {"notes.xrd", accessdb::OutlineVariant::kGleanery, accessdb::Format::kJet4},
    {"notes.xrd", accessdb::OutlineVariant::kGleanery, accessdb::Format::kJet3},
};

std::string WriteDatabase(const TempDirectory& directory, const Variant& v, int codePage,
                          const std::vector<accessdb::OutlineNode>& nodes) {
  const std::string path = directory.File(v.file);
  accessdb::OutlineOptions options;
  options.variant = v.variant;
  options.format = v.format;
  options.code_page = codePage;
  accessdb::WriteOutlineDatabase(path, options, nodes);
  return path;
}

ProcessResult Export(const std::vector<std::string>& options, const std::string& database, const char* format,
                     const std::string& output) {
  std::vector<std::string> args = {"--plugin", ARVOLINE_MODULE, "export", database, "--to", format, "-o", output, "-q"};
  args.insert(args.end(), options.begin(), options.end());
  return RunProcess(ARVOLINE_HOST, args);
}

// Every file of an export (a Markdown folder's by relative path), for comparison.
std::string Contents(const std::string& output) {
  if (!std::filesystem::is_directory(output)) return ReadFile(output);
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(output))
    if (entry.is_regular_file())
      files.push_back(std::filesystem::relative(entry.path(), output).string() + "\n" + ReadFile(entry.path().string()));
  std::sort(files.begin(), files.end());
  std::string all;
  for (const std::string& f : files) all += f + "\n---\n";
  return all;
}

TEST(Salvage, UndamagedDatabasesExportAsThePluginDoes) {
  // Titles and texts in the code page, and a character outside it (which the
  // plug-in's dataset stores as "?").
  struct CodePage {
    int number;
    std::vector<accessdb::OutlineNode> nodes;
  } codePages[] = {
      {1252,
       {{"Root", "K1", "Caf\u00e9 \u20ac", std::string("{\\rtf1 na\\'efve \u00e9t\u00e9}")},
        {"K1", "K2", "Zw\u00f6lf", std::string("plain \u00fcber")},
        {"Root", "K3", "Dritte", std::nullopt}}},
      {1251,
       {{"Root", "K1", "\u0416\u0443\u043a", std::string("\u041f\u0440\u0438\u0432\u0435\u0442")},
        {"K1", "K2", "\u0414\u0432\u0430", std::string("{\\rtf1 \u0442\u0435\u043a\u0441\u0442}")}}},
  };
  TempDirectory directory;
  for (const Variant& v : kVariants) {
    for (const CodePage& cp : codePages) {
      std::vector<accessdb::OutlineNode> nodes = cp.nodes;
      // A character outside the code page, where the file can hold it.
      if (!v.Jet3()) nodes[0].content = *nodes[0].content + " \u4e2d";
      const std::string database = WriteDatabase(directory, v, cp.number, nodes);
      for (const char* format : {"json", "text", "markdown", "html", "opml"}) {
        SCOPED_TRACE(v.Name() + ", code page " + std::to_string(cp.number) + ", " + format);
        const std::vector<std::string> codePage = {"--codepage", std::to_string(cp.number)};
        const std::string plugin = directory.File(std::string("plugin.") + format);
        const std::string salvage = directory.File(std::string("salvage.") + format);
        std::filesystem::remove_all(plugin);
        std::filesystem::remove_all(salvage);
        const ProcessResult a = Export(codePage, database, format, plugin);
        std::vector<std::string> withSalvage = codePage;
        withSalvage.push_back("--salvage");
        const ProcessResult b = Export(withSalvage, database, format, salvage);
        ASSERT_EQ(a.status, 0) << a.err;
        EXPECT_EQ(b.status, 0) << b.err;
        EXPECT_EQ(b.err, "");
        EXPECT_EQ(Contents(salvage), Contents(plugin));
      }
    }
  }
}

const std::string kLong = "{\\rtf1 first " + std::string(6000, 'L') + "END}";  // a chain of long-value rows

std::vector<accessdb::OutlineNode> DamageNodes() {
  return {
      {"Root", "Ka", "First", kLong},
      {"Ka", "Kb", "Second", std::string("inline-second")},
      {"Kb", "Kc", "Third", std::string("inline-third")},
      {"Root", "Kd", "Fourth", std::string("inline-fourth")},
  };
}

// Replaces every occurrence of `from` with `to` (as long).
void Overwrite(DatabaseDamage& d, const std::string& from, const std::string& to) {
  for (const size_t at : d.FindAll(from))
    for (size_t i = 0; i < to.size(); ++i) d.WriteByte(at + i, static_cast<unsigned char>(to[i]));
}

// The row's variable offsets point its content cell past the row's end.
void PointContentOutside(DatabaseDamage& d, const std::string& text) {
  const size_t end = d.RowEnd(d.RowHolding(text));
  if (d.PageSize() == 2048)
    d.WriteByte(end - 6, 0xFF);
  else
    d.WriteU32(end - 11, 0xFFFF | (d.ReadU32(end - 11) & 0xFFFF0000));
}

// One line a document of a JSON export: "LEVEL TITLE = CONTENT", the long
// content shown as <long>, or <cut> for a part of it.
std::string Documents(const std::string& json) {
  std::string lines;
  for (const auto& d : nlohmann::json::parse(json)) {
    std::string content = d["content"].get<std::string>();
    if (content == kLong) content = "<long>";
    else if (!content.empty() && content.size() < kLong.size() && kLong.compare(0, content.size(), content) == 0)
      content = "<cut>";
    lines += std::to_string(d["level"].get<int>()) + " " + d["title"].get<std::string>() + " = " + content + "\n";
  }
  return lines;
}

TEST(Salvage, DamagedDatabasesGiveWhatTheFileStillHolds) {
  const std::string whole = "0 First = <long>\n1 Second = inline-second\n2 Third = inline-third\n0 Fourth = inline-fourth\n";
  struct Case {
    const char* name;
    std::function<void(DatabaseDamage&, const accessdb::OutlineNames&)> damage;
    std::string documents;
    std::string err;  // after "warning: PATH"; empty: exit status 0 and nothing said
  } cases[] = {
      {"usage map emptied",
       [](DatabaseDamage& d, const accessdb::OutlineNames& n) { d.EmptyUsageMap(d.TablePage(n.table)); }, whole, ""},
      {"catalog page zeroed", [](DatabaseDamage& d, const accessdb::OutlineNames&) { d.ZeroPage(2); }, whole, ""},
      {"the key's name damaged in the table's definition",
       [](DatabaseDamage& d, const accessdb::OutlineNames& n) {
         d.WriteByte(d.ColumnEntry(d.TablePage(n.table), 3) + (d.PageSize() == 2048 ? 1 : 2), 'X');
       },
       whole, ""},
      {"long-value chain cut",
       [](DatabaseDamage& d, const accessdb::OutlineNames&) { d.ZeroPage(d.RowHolding("LEND}").page); },
       "0 First = <cut>\n1 Second = inline-second\n2 Third = inline-third\n0 Fourth = inline-fourth\n",
       " is damaged: 1 note kept part of its content (list in LIST)\n"
       "  content cut 1 \"First\" (key \"Ka\"): The long value of field 'CONTENT' is damaged.\n"},
      {"row damaged mid-way",
       [](DatabaseDamage& d, const accessdb::OutlineNames&) { PointContentOutside(d, "inline-fourth"); },
       "0 First = <long>\n1 Second = inline-second\n2 Third = inline-third\n0 Fourth = \n",
       " is damaged: 1 note lost its content (list in LIST)\n"
       "  content lost 2 \"Fourth\" (key \"Kd\"): The record at row ROW is damaged from field 'CONTENT' on.\n"},
      {"outline entry damaged", [](DatabaseDamage& d, const accessdb::OutlineNames&) { Overwrite(d, "02Kc", "XXKc"); },
       "0 First = <long>\n1 Second = inline-second\n0 Recovered notes = \n1 Kc: inline-third = inline-third\n"
       "1 Kd: inline-fourth = inline-fourth\n",
       " is damaged: 1 note was lost entirely, 2 notes were recovered outside the outline (list in LIST)\n"
       "  lost entirely (key \"ROOT\"): the outline stops at entry 3: ''XX'' is not a valid integer value\n"
       "  recovered 2.1 \"Kc: inline-third\" (key \"Kc\"): moved to \"Recovered notes\", its title made from its key and text\n"
       "  recovered 2.2 \"Kd: inline-fourth\" (key \"Kd\"): moved to \"Recovered notes\", its title made from its key and text\n"},
      {"root record's key changed: its outline is followed all the same",
       [](DatabaseDamage& d, const accessdb::OutlineNames& n) { Overwrite(d, n.root_key, "~Gone~~~~"); }, whole,
       " is damaged: 1 note was lost entirely (list in LIST)\n"
       "  lost entirely (key \"ROOT\"): the root record is missing; the outline was read from the record with key "
       "\"~Gone~~~~\"\n"},
      {"root record's key and outline changed",
       [](DatabaseDamage& d, const accessdb::OutlineNames& n) {
         Overwrite(d, n.root_key, "~Gone~~~~");
         Overwrite(d, "02Kc", "XXKc");
       },
       "0 First = <long>\n1 Second = inline-second\n0 Recovered notes = \n1 Kc: inline-third = inline-third\n"
       "1 Kd: inline-fourth = inline-fourth\n",
       " is damaged: 1 note was lost entirely, 2 notes were recovered outside the outline (list in LIST)\n"
       "  lost entirely (key \"ROOT\"): the root record is missing; the outline was read from the record with key "
       "\"~Gone~~~~\"; the outline stops at entry 3: ''XX'' is not a valid integer value\n"
       "  recovered 2.1 \"Kc: inline-third\" (key \"Kc\"): moved to \"Recovered notes\", its title made from its key and text\n"
       "  recovered 2.2 \"Kd: inline-fourth\" (key \"Kd\"): moved to \"Recovered notes\", its title made from its key and text\n"},
      // The last byte of a row is its null mask (key, outline, content: bits 0 to 2).
      {"null mask marks the content absent",
       [](DatabaseDamage& d, const accessdb::OutlineNames&) {
         d.WriteByte(d.RowEnd(d.RowHolding("inline-fourth")) - 1, 0x01);
       },
       "0 First = <long>\n1 Second = inline-second\n2 Third = inline-third\n0 Fourth = \n",
       " is damaged: 1 note lost its content (list in LIST)\n"
       "  content lost 2 \"Fourth\" (key \"Kd\"): The null mask of field 'CONTENT' contradicts its row.\n"},
      {"rows zeroed: the root record's and the fourth note's",
       [](DatabaseDamage& d, const accessdb::OutlineNames& n) {
         for (const DatabaseDamage::RowPointer row : {d.RowHolding("inline-fourth"), d.RowHolding(n.root_key)})
           for (size_t at = d.RowStart(row); at < d.RowEnd(row); ++at) d.WriteByte(at, 0);
       },
       "0 Recovered notes = \n1 Ka: first " + std::string(74, 'L') + " = <long>\n1 Kb: inline-second = inline-second\n"
       "1 Kc: inline-third = inline-third\n",
       " is damaged: 3 notes were lost entirely, 3 notes were recovered outside the outline (list in LIST)\n"
       "  lost entirely (key \"ROOT\"): the root record is missing or cannot be read\n"
       "  lost entirely: a row of the table holds neither a key nor any text\n"
       "  recovered 1.1 \"Ka: first " + std::string(74, 'L') + "\" (key \"Ka\"): moved to \"Recovered notes\", its title made from its key and text\n"
       "  recovered 1.2 \"Kb: inline-second\" (key \"Kb\"): moved to \"Recovered notes\", its title made from its key and text\n"
       "  recovered 1.3 \"Kc: inline-third\" (key \"Kc\"): moved to \"Recovered notes\", its title made from its key and text\n"
       "  lost entirely: a row of the table holds neither a key nor any text\n"},
  };
  TempDirectory directory;
  for (const Variant& v : kVariants) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.name) + ", " + v.Name());
      const std::string database = WriteDatabase(directory, v, 1252, DamageNodes());
      const accessdb::OutlineNames& names = accessdb::NamesOf(v.variant);
      DatabaseDamage d(database);
      const DatabaseDamage::RowPointer fourth = d.RowHolding("inline-fourth");
      c.damage(d, names);
      d.Save();
      const std::string output = directory.File("out.json");
      const std::string list = output + ".damage.txt";
      std::filesystem::remove(list);
      const std::string stored = ReadFile(database);
      // Where the plug-in gives up, its error is followed by the way to salvage.
      const ProcessResult plugin = Export({}, database, "json", output);
      if (plugin.status == 1) {
        EXPECT_NE(plugin.err.find("\nhint: " + database + " is damaged; salvage recovers what it still holds: " +
                                  "arvoline-host export " + database + " --salvage --to json -o " + output + "\n"),
                  std::string::npos)
            << plugin.err;
      }
      std::filesystem::remove(list);
      const ProcessResult r = Export({"--salvage"}, database, "json", output);
      EXPECT_EQ(ReadFile(database), stored) << "the database is only read";
      EXPECT_EQ(Documents(ReadFile(output)), c.documents);
      // A report, its list and status 3, or none of them.
      EXPECT_EQ(r.status, c.err.empty() ? 0 : 3) << r.err;
      EXPECT_EQ(std::filesystem::exists(list), !c.err.empty());
      if (c.err.empty()) {
        EXPECT_EQ(r.err, "");
        continue;
      }
      std::string err = c.err;
      for (const auto& [from, to] :
           {std::pair<std::string, std::string>{"LIST", list}, {"CONTENT", names.content_field}, {"ROOT", names.root_key},
            {"ROW", std::to_string(fourth.row) + " of page " + std::to_string(fourth.page)}})
        if (err.find(from) != std::string::npos) err.replace(err.find(from), from.size(), to);
      EXPECT_EQ(r.err, "warning: " + database + err);
      EXPECT_EQ(ReadFile(list), database + err.substr(0, err.find(" (list in")) + err.substr(err.find(")\n") + 1));
    }
  }
}

}  // namespace

namespace {

TEST(Salvage, APasswordProtectedDatabaseOpensWithItsPasswordOnly) {
  struct Case {
    const char* name;
    std::vector<std::string> options;
    std::string err;  // after "error: PATH"; empty: exported as before the password was set
  } cases[] = {
      {"its password", {"--salvage", "--password", "Geheim 1"}, ""},
      {"no password", {"--salvage"}, ": the database is protected by a password; give it with --password\n"},
      {"another password", {"--salvage", "--password", "geheim 1"},
       ": the password given does not match the database's\n"},
      {"without --salvage", {"--password", "Geheim 1"},
       ": --password needs --salvage: the plug-in opens databases without a password\n"},
  };
  TempDirectory directory;
  for (const Variant& v : kVariants) {
    const std::string database =
        WriteDatabase(directory, v, 1252, {{"Root", "K1", "One", std::string("text \u00e9")}, {"K1", "K2", "Two", std::nullopt}});
    const std::string expected = directory.File("expected.json");
    ASSERT_EQ(Export({}, database, "json", expected).status, 0);
    SetDatabasePassword(database, v.Jet3(), u"Geheim 1");
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.name) + ", " + v.Name());
      const std::string output = directory.File("out.json");
      std::filesystem::remove(output);
      const ProcessResult r = Export(c.options, database, "json", output);
      if (c.err.empty()) {
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(ReadFile(output), ReadFile(expected));
        continue;
      }
      EXPECT_EQ(r.status, 1);
      EXPECT_EQ(r.err, "error: " + database + c.err);
      EXPECT_FALSE(std::filesystem::exists(output)) << "nothing is written";
    }
  }
}

}  // namespace

namespace {

TEST(Salvage, ACutOutlineKeepsItsWholeEntriesAndRecoversTheRest) {
  constexpr int kNotes = 300;  // an outline of about 9,600 bytes: a chain of long-value rows
  auto number = [](int i) {
    std::string n = std::to_string(i);
    return std::string(3 - n.size(), '0') + n;
  };
  std::vector<accessdb::OutlineNode> nodes;
  for (int i = 0; i < kNotes; ++i) nodes.push_back({"Root", "K" + number(i), "Note " + number(i), "c" + number(i)});
  TempDirectory directory;
  for (const Variant& v : kVariants) {
    SCOPED_TRACE(v.Name());
    const std::string database = WriteDatabase(directory, v, 1252, nodes);
    {
      DatabaseDamage d(database);
      d.ZeroPage(d.RowHolding("04K" + number(kNotes - 1) + "008Note").page);  // the outline's last part
      d.Save();
    }
    const std::string output = directory.File("out.json");
    const ProcessResult r = Export({"--salvage"}, database, "json", output);
    EXPECT_EQ(r.status, 3);
    const std::string field = accessdb::NamesOf(v.variant).structure_field;
    EXPECT_EQ(r.err.substr(r.err.find('\n') + 1, r.err.find('\n', r.err.find('\n') + 1) - r.err.find('\n')),
              std::string("  lost entirely (key \"") + accessdb::NamesOf(v.variant).root_key +
                  "\"): the outline is cut short: The long value of field '" + field + "' is damaged.\n");
    // The whole entries in their place, every other note recovered in table order.
    const nlohmann::json documents = nlohmann::json::parse(ReadFile(output));
    size_t kept = 0;
    while (kept < documents.size() && documents[kept]["title"] != "Recovered notes") ++kept;
    EXPECT_GT(kept, 0u);
    ASSERT_EQ(documents.size(), kNotes + 1u);
    for (size_t i = 0; i < documents.size(); ++i) {
      if (i == kept) continue;
      const size_t note = i < kept ? i : i - 1;
      const std::string title = i < kept ? "Note " + number(note) : "K" + number(note) + ": c" + number(note);
      EXPECT_EQ(documents[i]["title"], title);
      EXPECT_EQ(documents[i]["level"], i < kept ? 0 : 1);
      EXPECT_EQ(documents[i]["content"], "c" + number(note));
    }
  }
}

}  // namespace
