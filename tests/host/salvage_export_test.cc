// Salvage (`export --salvage`): undamaged databases export exactly as the
// plug-in exports them, damaged ones give what the file still holds and
// name every note salvage changed; password-protected files open with their
// password only.
#include <gtest/gtest.h>

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

}  // namespace
