// arvoline-host export end to end: databases written by the project's Access
// writer, read by the real plug-in module, exported in every format and read
// back (JSON by nlohmann, HTML by html5lib, OPML by Python's XML parser).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "tests/host/host_process.h"
#include "tests/host/sample_wmf.h"
#include "tests/platform/automation/temp_directory.h"
#include "tools/accessdb/outline_database.h"

namespace fs = std::filesystem;

namespace {

const char kWelcome[] =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fcharset204 Times;}"
    "{\\f2\\fcharset2 Symbol;}}\\f0 Plain, {\\b bold}, {\\i italic} and {\\ul under}{\\strike gone}.\\par\n"
    "{\\field{\\*\\fldinst HYPERLINK \"https://example.org/x\"}{\\fldrslt site}} \\f1\\'cf\\'f0\\'e8\\'e2\\'e5\\'f2"
    "\\f0\\line next\\tab col\\par\n"
    "{\\pntext\\f2\\'b7\\tab}first item\\par\n"
    "\\ilvl1{\\pntext\\f2\\'b7\\tab}inner item\\par\\pard\n"
    "{\\pntext 1.\\tab}numbered\\par\\pard\n"
    "\\trowd\\cellx1000\\cellx2000\\intbl Name\\cell Value\\cell\\row\n"
    "\\trowd\\cellx1000\\cellx2000\\intbl a|b\\cell 2\\cell\\row\\pard\n"
    "{\\pict\\pngblip\\picwgoal300\\pichgoal150 89504e470d0a1a0a}";
const char kPng[] = "\x89PNG\r\n\x1a\n";

// The welcome text, then a WMF picture (drawn as PNG where pages show it) and a heading.
std::string Welcome() {
  return kWelcome + std::string("{\\pict\\wmetafile8\\picwgoal3000\\pichgoal1500 ") + Hex(SampleWmf()) +
         "}\\par\\pard\\outlinelevel0 Part\\par}";
}

std::vector<accessdb::OutlineNode> Nodes() {
  return {
      {"Root", "K1", "Welcome", Welcome()},
      {"K1", "K2", "Child: one/two?", std::string("not rtf\n  kept  ")},
      {"K2", "K3", "Grandchild", std::string("{\\rtf1 deep {\\b text}\\par}")},
      {"Root", "K4", "Empty", std::nullopt},
      {"Root", "K5", "Second <&>",
       std::string("{\\rtf1{\\field{\\*\\fldinst HYPERLINK \"javascript:alert(1)\"}{\\fldrslt bad}} <script>\\par}")},
  };
}

const char* const kTexts[] = {
    "Plain, bold, italic and undergone.\nsite Привет\nnext\tcol\n•\tfirst item\n•\tinner item\n1.\tnumbered\n"
    "Name\tValue\na|b\t2\n[picture 1: PNG, 20 × 10 px][picture 2: WMF, 200 × 100 px]\nPart",
    "not rtf\n  kept  ",
    "deep text",
    "",
    "bad <script>",
};

class HostExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    database_ = directory_.File("notes.xtp");
    accessdb::WriteOutlineDatabase(database_, accessdb::OutlineOptions{}, Nodes());
  }

  ProcessResult Export(const std::string& format, const std::string& output, std::vector<std::string> more = {}) {
    std::vector<std::string> args = {"--plugin", ARVOLINE_MODULE, "export", database_, "--to", format, "-o", output};
    args.insert(args.end(), more.begin(), more.end());
    return RunProcess(ARVOLINE_HOST, args);
  }

  // What the checking script prints for `file`.
  std::string Script(const char* script, const std::string& file) {
    ProcessResult r = RunProcess(ARVOLINE_PYTHON, {std::string(ARVOLINE_TEST_SOURCE_DIR) + "/" + script, file});
    EXPECT_EQ(r.status, 0) << r.err;
    return r.out;
  }

  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(directory_.path())) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  TempDirectory directory_;
  std::string database_;
};

TEST_F(HostExportTest, JsonAddsEachDocumentsPlainText) {
  const std::string out = directory_.File("notes.json");
  ProcessResult r = Export("json", out);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "") << "no progress when standard error is no terminal";
  const nlohmann::json json = nlohmann::json::parse(ReadFile(out));
  const auto nodes = Nodes();
  const int levels[] = {0, 1, 2, 0, 0};
  ASSERT_EQ(json.size(), nodes.size());
  for (size_t i = 0; i < nodes.size(); ++i) {
    EXPECT_EQ(json[i]["level"], levels[i]) << i;
    EXPECT_EQ(json[i]["title"], nodes[i].title) << i;
    EXPECT_EQ(json[i]["content"], nodes[i].content.value_or("")) << i;
    EXPECT_EQ(json[i]["text"], kTexts[i]) << i;
  }
}

TEST_F(HostExportTest, TextIndentsTitlesAndTexts) {
  const std::string out = directory_.File("notes.txt");
  ProcessResult r = Export("text", out, {"--quiet"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadFile(out),
            "Welcome\n"
            "Plain, bold, italic and undergone.\nsite Привет\nnext\tcol\n•\tfirst item\n•\tinner item\n1.\tnumbered\n"
            "Name\tValue\na|b\t2\n[picture 1: PNG, 20 × 10 px][picture 2: WMF, 200 × 100 px]\nPart\n"
            "\n"
            "  Child: one/two?\n"
            "  not rtf\n"
            "    kept  \n"
            "\n"
            "    Grandchild\n"
            "    deep text\n"
            "\n"
            "Empty\n"
            "\n"
            "Second <&>\n"
            "bad <script>\n");
}

TEST_F(HostExportTest, OpmlNestsOutlinesByLevel) {
  const std::string out = directory_.File("notes.opml");
  ASSERT_EQ(Export("opml", out).status, 0);
  EXPECT_EQ(Script("opml_export_outline.py", out),
            "opml 2.0 notes\n"
            "Welcome | Plain, bold, italic and undergone.\\nsite Привет\\nnext\tcol\\n•\tfirst item\\n•\tinner item"
            "\\n1.\tnumbered\\nName\tValue\\na|b\t2\\n[picture 1: PNG, 20 × 10 px][picture 2: WMF, 200 × 100 px]\\nPart\n"
            "  Child: one/two? | not rtf\\n  kept  \n"
            "    Grandchild | deep text\n"
            "Empty\n"
            "Second <&> | bad <script>\n");
}

TEST_F(HostExportTest, HtmlParsesBackWithSectionsFormattingAndPictures) {
  const std::string out = directory_.File("notes.html");
  ASSERT_EQ(Export("html", out).status, 0);
  EXPECT_EQ(Script("html_export_outline.py", out),
            "toc 1 #d1 Welcome\n"
            "toc 2 #d1.1 Child: one/two?\n"
            "toc 3 #d1.1.1 Grandchild\n"
            "toc 1 #d2 Empty\n"
            "toc 1 #d3 Second <&>\n"
            "section 0 d1 Welcome\n"
            "strong bold\n"
            "em italic\n"
            "u under\n"
            "s gone\n"
            "link https://example.org/x site\n"
            "li ul 0 first item\n"
            "li ul 1 inner item\n"
            "li ol 0 numbered\n"
            "td Name\n"
            "td Value\n"
            "td a|b\n"
            "td 2\n"
            "img data:image/png;base64,iVBORw0KGgo= picture 1 20 10\n"
            "img data:image/png;base64,iVBORw0KGgoAAAANSU picture 2 200 100\n"
            "h3 Part\n"
            "section 1 d1.1 Child: one/two?\n"
            "section 2 d1.1.1 Grandchild\n"
            "strong text\n"
            "section 0 d2 Empty\n"
            "section 0 d3 Second <&>\n");  // a javascript: link keeps its text only
  EXPECT_NE(ReadFile(out).find("bad &lt;script&gt;"), std::string::npos);
  EXPECT_EQ(ReadFile(out).find("lang="), std::string::npos) << "the language is not known";
  EXPECT_NE(ReadFile(out).find("not rtf\n  kept  "), std::string::npos) << "non-RTF content as it is";
}

TEST_F(HostExportTest, MarkdownIsAFolderTreeWithPicturesBeside) {
  const std::string out = directory_.File("notes");
  ProcessResult r = Export("markdown", out);
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<std::string> files;
  for (const auto& e : fs::recursive_directory_iterator(out)) files.push_back(fs::relative(e.path(), out).string());
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (std::vector<std::string>{
                       "001-Welcome", "001-Welcome/001-Child_ one_two_", "001-Welcome/001-Child_ one_two_/001-Grandchild.md",
                       "001-Welcome/001-Child_ one_two_/index.md", "001-Welcome/index-1.png", "001-Welcome/index-2.png",
                       "001-Welcome/index.md",
                       "002-Empty.md", "003-Second _&_.md"}));
  EXPECT_EQ(ReadFile(out + "/001-Welcome/index-1.png"), std::string(kPng, sizeof kPng - 1));
  EXPECT_EQ(ReadFile(out + "/001-Welcome/index.md"),
            "---\ntitle: \"Welcome\"\noutline: \"1\"\nlevel: 0\n---\n\n# Welcome\n\n"
            "Plain, **bold**, *italic* and <u>under</u>~~gone~~.\n\n"
            "[site](<https://example.org/x>) Привет\\\nnext col\n\n"
            "- first item\n"
            "    - inner item\n"
            "1. numbered\n\n"
            "| Name | Value |\n| --- | --- |\n| a\\|b | 2 |\n\n"
            "![picture 1](<index-1.png>)![picture 2](<index-2.png>)\n\n"
            "## Part\n");
  EXPECT_EQ(ReadFile(out + "/001-Welcome/index-2.png").substr(0, 8), std::string(kPng, sizeof kPng - 1)) << "the WMF drawn";
  EXPECT_EQ(ReadFile(out + "/001-Welcome/001-Child_ one_two_/index.md"),
            "---\ntitle: \"Child: one/two?\"\noutline: \"1.1\"\nlevel: 1\n---\n\n# Child: one/two?\n\nnot rtf\n  kept  \n");
  EXPECT_EQ(ReadFile(out + "/003-Second _&_.md"),
            "---\ntitle: \"Second <&>\"\noutline: \"3\"\nlevel: 0\n---\n\n# Second \\<&\\>\n\n"
            "[bad](<javascript:alert(1)>) \\<script\\>\n");
}

TEST_F(HostExportTest, FailedExportsLeaveNothingBehind) {
  fs::create_directory(directory_.File("full"));
  std::ofstream(directory_.File("full/keep.txt")) << "mine";
  struct Case {
    std::string format;
    std::string output;
    std::string database;
    std::string errStart;
  } cases[] = {
      {"html", directory_.File("out.html"), directory_.File("missing.xtp"), "error: "},
      {"markdown", directory_.File("out"), directory_.File("missing.xtp"), "error: "},
      {"markdown", directory_.File("full"), database_, "error: cannot write " + directory_.File("full")},
      {"json", directory_.File("full"), database_, "error: cannot write " + directory_.File("full")},
      {"opml", directory_.File("no/such/folder.opml"), database_, "error: "},
  };
  for (const Case& c : cases) {
    const std::string saved = database_;
    database_ = c.database;
    ProcessResult r = Export(c.format, c.output);
    database_ = saved;
    EXPECT_EQ(r.status, 1) << c.output;
    EXPECT_EQ(r.err.rfind(c.errStart, 0), 0u) << r.err;
    EXPECT_EQ(Entries(), (std::vector<std::string>{"full", "notes.xtp"})) << c.output;
  }
  EXPECT_EQ(ReadFile(directory_.File("full/keep.txt")), "mine");
  EXPECT_NE(RunProcess(ARVOLINE_HOST, {"export", database_, "--to", "pdf", "-o", "x"}).status, 0);
}

// On a terminal (script(1) gives the host one) the progress bar is drawn on
// standard error; --quiet turns it off.
TEST_F(HostExportTest, ProgressIsShownOnATerminalOnly) {
  auto onTerminal = [&](const std::string& extra) {
    const std::string command = std::string(ARVOLINE_HOST) + " --plugin " + ARVOLINE_MODULE + " export " + database_ +
                                " --to text -o " + directory_.File("notes.txt") + extra;
    ProcessResult r = RunProcess("/usr/bin/script", {"-qec", command, "/dev/null"});
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    return r.out;
  };
  const std::string shown = onTerminal("");
  EXPECT_NE(shown.find("writing  5 documents  0:0"), std::string::npos) << shown;
  EXPECT_EQ(onTerminal(" --quiet"), "");
}

TEST_F(HostExportTest, AnExistingFileIsReplacedWhole) {
  const std::string out = directory_.File("notes.txt");
  std::ofstream(out) << std::string(100000, 'x');
  ASSERT_EQ(Export("text", out).status, 0);
  EXPECT_EQ(ReadFile(out).rfind("Welcome\n", 0), 0u);
  EXPECT_EQ(ReadFile(out).find('x' + std::string(10, 'x')), std::string::npos);
  EXPECT_EQ(Entries(), (std::vector<std::string>{"notes.txt", "notes.xtp"}));
}

}  // namespace
