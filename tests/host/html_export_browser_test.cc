// The HTML export as a reader opens it: each database is exported by
// arvoline-host and loaded by headless Chromium (tools/chromium_page.py),
// which opens the whole table of contents and follows every link.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "tests/host/host_process.h"
#include "tests/platform/automation/temp_directory.h"
#include "tools/accessdb/outline_database.h"

namespace {

using accessdb::OutlineNode;

// Hostile titles and contents, formatting, a picture, a link that is dropped.
std::vector<OutlineNode> Formatted() {
  return {
      {"Root", "K1", "Welcome",
       std::string("{\\rtf1\\ansi Plain, {\\b bold}, {\\field{\\*\\fldinst HYPERLINK \"https://example.org/\"}"
                   "{\\fldrslt site}}\\par\\trowd\\cellx1000\\intbl cell\\cell\\row\\pard"
                   "{\\pict\\pngblip\\picwgoal300\\pichgoal150 89504e470d0a1a0a}\\par}")},
      {"K1", "K2", "<script>console.error(1)</script>",
       std::string("</noscript><script>console.error(2)</script>")},
      {"K2", "K3", "a & b \" ' #d1", std::string("{\\rtf1 {\\field{\\*\\fldinst HYPERLINK \"javascript:x()\"}"
                                                 "{\\fldrslt bad}}\\par}")},
      {"Root", "K4", "Empty", std::nullopt},
  };
}

// Titles that show nothing, or would run off the page.
std::vector<OutlineNode> Untitled() {
  return {{"Root", "K1", "", std::string("first")},
          {"K1", "K2", "   ", std::string("second")},
          {"Root", "K3", std::string(300, 'W'), std::string("{\\rtf1 " + std::string(400, 'x') + "\\par}")}};
}

// More siblings than a list shows at once, and an outline deeper than the
// first view opens.
std::vector<OutlineNode> WideAndDeep() {
  std::vector<OutlineNode> nodes;
  for (int i = 0; i < 450; ++i)
    nodes.push_back({"Root", "W" + std::to_string(i), "wide " + std::to_string(i), std::string("w")});
  std::string parent = "W449";
  for (int i = 0; i < 40; ++i) {
    nodes.push_back({parent, "D" + std::to_string(i), "deep " + std::to_string(i), std::string("d")});
    parent = "D" + std::to_string(i);
  }
  return nodes;
}

nlohmann::json OpenInBrowser(const std::string& database, const std::string& page) {
  ProcessResult exported = RunProcess(ARVOLINE_HOST, {"--plugin", ARVOLINE_MODULE, "export", database, "--to", "html",
                                                      "-o", page});
  EXPECT_EQ(exported.status, 0) << exported.err;
  ProcessResult browser = RunProcess(ARVOLINE_PYTHON, {ARVOLINE_CHROMIUM_PAGE, page});
  EXPECT_EQ(browser.status, 0) << browser.err;
  return browser.status == 0 ? nlohmann::json::parse(browser.out) : nlohmann::json::object();
}

TEST(HtmlExportBrowserTest, EveryLinkOfTheContentsLeadsToItsDocumentWithoutErrors) {
  TempDirectory directory;
  const std::string generated = directory.File("generated.xtp");
  accessdb::GeneratorOptions twoHundred;
  twoHundred.nodes = 200;
  twoHundred.depth = 4;
  twoHundred.content_bytes = 600;
  accessdb::WriteGeneratedOutlineDatabase(generated, accessdb::OutlineOptions{}, twoHundred);

  const struct {
    std::string name;
    std::vector<OutlineNode> nodes;  // empty: the generated database
    size_t documents;
    std::vector<std::string> firstTitles;  // as the contents show them
  } rows[] = {
      {"formatted", Formatted(), 4, {"Welcome", "<script>console.error(1)</script>", "a & b \" ' #d1", "Empty"}},
      {"untitled", Untitled(), 3, {"(untitled)", "(untitled)", std::string(300, 'W')}},
      {"wide and deep", WideAndDeep(), 490, {"wide 0", "wide 1"}},
      {"200 notes", {}, 200, {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    std::string database = generated;
    if (!row.nodes.empty()) {
      database = directory.File(row.name + ".xtp");
      accessdb::WriteOutlineDatabase(database, accessdb::OutlineOptions{}, row.nodes);
    }
    const nlohmann::json page = OpenInBrowser(database, directory.File(row.name + ".html"));
    EXPECT_EQ(page.value("console_errors", nlohmann::json()), nlohmann::json::array());
    EXPECT_EQ(page.value("unresolved_links", nlohmann::json()), nlohmann::json::array());
    EXPECT_EQ(page.value("links", 0u), row.documents);
    EXPECT_EQ(page.value("requests", nlohmann::json()), nlohmann::json::array()) << "works offline";
    EXPECT_EQ(page.value("overflow", true), false) << "long titles wrap";
    const std::vector<std::string> toc = page.value("toc", std::vector<std::string>());
    for (size_t i = 0; i < row.firstTitles.size() && i < toc.size(); ++i) EXPECT_EQ(toc[i], row.firstTitles[i]);
  }
}

}  // namespace
