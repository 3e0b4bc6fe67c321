// arvoline-host export end to end: databases written by the project's Access
// writer, read by the real plug-in module, exported in every format and read
// back (JSON by nlohmann, HTML by html5lib, OPML by Python's XML parser,
// Markdown rendered by cmark-gfm).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
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
    "not rtf\n  kept",
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
            "    kept\n"
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
            "  Child: one/two? | not rtf\\n  kept\n"
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
  EXPECT_NE(ReadFile(out).find("<p>not rtf</p>\n<p>  kept  </p>"), std::string::npos) << "non-RTF content as text";
}

std::vector<std::string> FilesUnder(const std::string& folder) {
  std::vector<std::string> files;
  for (const auto& e : fs::recursive_directory_iterator(folder)) files.push_back(fs::relative(e.path(), folder).string());
  std::sort(files.begin(), files.end());
  return files;
}

TEST_F(HostExportTest, MarkdownNotesAreNamedByTitleWithFolderNotes) {
  const std::string out = directory_.File("notes");
  ProcessResult r = Export("markdown", out);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(FilesUnder(out), (std::vector<std::string>{
                                 "Empty.md", "Second _&_.md", "Welcome", "Welcome/Child_ one_two_",
                                 "Welcome/Child_ one_two_/Child_ one_two_.md", "Welcome/Child_ one_two_/Grandchild.md",
                                 "Welcome/Welcome-1.png", "Welcome/Welcome-2.png", "Welcome/Welcome.md"}));
  EXPECT_EQ(ReadFile(out + "/Welcome/Welcome-1.png"), std::string(kPng, sizeof kPng - 1));
  EXPECT_EQ(ReadFile(out + "/Welcome/Welcome-2.png").substr(0, 8), std::string(kPng, sizeof kPng - 1)) << "the WMF drawn";
  EXPECT_EQ(ReadFile(out + "/Welcome/Welcome.md"),
            "---\ntitle: \"Welcome\"\noutline: \"1\"\norder: 1\nlevel: 0\n---\n\n# Welcome\n\n"
            "Plain, **bold**, *italic* and <u>under</u>~~gone~~.\n\n"
            "[site](<https://example.org/x>) Привет\\\nnext\tcol\n\n"
            "- first item\n"
            "  - inner item\n"
            "1. numbered\n\n"
            "| Name | Value |\n| --- | --- |\n| a\\|b | 2 |\n\n"
            "![picture 1](Welcome-1.png)![picture 2](Welcome-2.png)\n\n"
            "## Part\n\n"
            "---\n\n"
            "- [Child: one/two?](Child_%20one_two_/Child_%20one_two_.md)\n");
  EXPECT_EQ(ReadFile(out + "/Welcome/Child_ one_two_/Child_ one_two_.md"),
            "---\ntitle: \"Child: one/two?\"\noutline: \"1.1\"\norder: 1\nlevel: 1\n---\n\n# Child: one/two?\n\n"
            "not rtf\n\nkept\n\n---\n\n- [Grandchild](Grandchild.md)\n");
  EXPECT_EQ(ReadFile(out + "/Second _&_.md"),
            "---\ntitle: \"Second \\u003c&>\"\noutline: \"3\"\norder: 3\nlevel: 0\n---\n\n# Second \\<\\&\\>\n\n"
            "bad \\<script\\>\n");
}

TEST_F(HostExportTest, MarkdownNumberedLayoutSortsByName) {
  const std::string out = directory_.File("notes");
  ProcessResult r = Export("markdown", out, {"--layout", "numbered"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(FilesUnder(out),
            (std::vector<std::string>{"001-Welcome", "001-Welcome/001-Child_ one_two_",
                                      "001-Welcome/001-Child_ one_two_/001-Grandchild.md",
                                      "001-Welcome/001-Child_ one_two_/index.md", "001-Welcome/index-1.png",
                                      "001-Welcome/index-2.png", "001-Welcome/index.md", "002-Empty.md", "003-Second _&_.md"}));
  EXPECT_EQ(ReadFile(out + "/001-Welcome/001-Child_ one_two_/index.md"),
            "---\ntitle: \"Child: one/two?\"\noutline: \"1.1\"\norder: 1\nlevel: 1\n---\n\n# Child: one/two?\n\n"
            "not rtf\n\nkept\n\n---\n\n- [Grandchild](001-Grandchild.md)\n");
  const ProcessResult wrong = Export("html", directory_.File("notes.html"), {"--layout", "numbered"});
  EXPECT_EQ(wrong.status, 1);
  EXPECT_EQ(wrong.err, "error: --layout applies to --to markdown only\n");
}

// Past 999 siblings the numbers widen for all of them, so that name order
// stays document order.
TEST_F(HostExportTest, MarkdownNumberedNamesKeepTheirOrderPast999) {
  std::vector<accessdb::OutlineNode> nodes;
  for (int i = 1; i <= 1001; ++i) nodes.push_back({"Root", "K" + std::to_string(i), "n" + std::to_string(i), std::nullopt});
  accessdb::WriteOutlineDatabase(database_, accessdb::OutlineOptions{}, nodes);
  const std::string out = directory_.File("many");
  ASSERT_EQ(Export("markdown", out, {"--layout", "numbered"}).status, 0);
  const std::vector<std::string> files = FilesUnder(out);
  ASSERT_EQ(files.size(), 1001u);
  for (size_t i = 0; i < files.size(); ++i) {
    char expected[64];
    std::snprintf(expected, sizeof expected, "%04zu-n%zu.md", i + 1, i + 1);
    ASSERT_EQ(files[i], expected);
  }
}

std::string Link(const std::string& target, const std::string& text) {
  return "{\\field{\\*\\fldinst HYPERLINK \"" + target + "\"}{\\fldrslt " + text + "}}";
}

// Titles and contents that mean something to Markdown, HTML, file systems or
// terminals, each in a place where a careless export would let it through.
std::vector<accessdb::OutlineNode> HostileNodes() {
  const std::string bullet = "{\\pntext\\'b7\\tab}";
  const std::string png = "{\\pict\\pngblip 89504e470d0a1a0a}";
  return {
      {"Root", "B", "# Heading",
       std::string("{\\rtf1 a\\line # x\\line ---\\line - y\\line + z\\line 12. n\\line 2) m\\line > q\\line ```f\\line "
                   "~~~\\line <div>\\line [r]: http://x\\line | a | b |\\line ===\\line     four\\par     para\\par}")},
      {"B", "E", "---",
       std::string("{\\rtf1{\\b Note:}text {\\b bold}{\\b\\i both}{\\i it} x{\\i a}{\\b b}y un{\\b believ}able {\\b bold }t "
                   "see {\\b (this)}. 5*{\\b x} \\u171?{\\b x}\\u187? a{\\b \\u169?x} {\\strike s}{\\b t} {\\ul\\b u}{\\i v} "
                   "{\\b\\i\\strike all}\\par}")},
      {"B", "S", "<script>alert(1)</script>",
       std::string("{\\rtf1 &amp; &copy; &#169; &#x41; \\\\ \\{ <b>raw</b> <!-- c --> `code` $x$ ==h== ^s^ ~t~ %%c%% "
                   "[[w]] #tag *a* _b_ C++ 100%\\par}")},
      {"Root", "L", "[x](javascript:y)",
       "{\\rtf1 " + Link("javascript:alert(1)", "a") + Link(" javascript:x", "b") + Link("java&#115;cript:x", "c") +
           Link("JaVaScRiPt:x", "d") + Link("vbscript:x", "e") + Link("data:text/html,x", "f") +
           Link("javascript&#58;x", "g") + Link("https://x.org/(a)?b=1&c=2", "h") + Link("mailto:me@x.org", "i") +
           Link("#top", "j") + " Look!" + Link("https://x", "k") + "\\par}"},
      {"L", "C", "Esc\x1b[31mape\tand tab",
       std::string("{\\rtf1 a\\'1bb\\'07c\\'7fd \\u27?e\\par}")},
      {"L", "P", "CON", std::string("ctl \x01\x1b[31m red\x7f\nline")},
      {"Root", "T", "a|b",
       std::string("<tr><td>x</td></tr>\n<script>alert(1)</script>\n# not heading\n    four\n- item\n\ttab\n&amp;\n"
                   "[a](javascript:x)\n")},
      {"T", "T1", "Same", "{\\rtf1 " + bullet + "a\\par\\ilvl1" + bullet + "b\\line c\\par\\ilvl1" + bullet +
                              "\\par\\pard{\\pntext 3.\\tab}d\\par\\trowd\\cellx1\\cellx2\\intbl a|b\\cell # c\\cell\\row"
                              "\\trowd\\cellx1\\cellx2\\intbl\\cell *\\cell\\row\\pard after\\par}"},
      {"T", "T2", "same", "{\\rtf1 before" + png + "{\\pict\\wmetafile8 0100}after\\par}"},
      {"T", "T3", "SAME", std::nullopt},
      {"T3", "T4", "SAME", std::string("")},
      {"T3", "T5", "SAME-1.png", std::string("x")},
      {"Root", "U", "", "{\\rtf1 " + png + "\\par}"},
      {"U", "U1", "  ", std::string("blank title")},
      {"U", "U2", "..", std::string("dots")},
      {"Root", "V", "A/B\\C:D x#y^z[w] &amp; *star* _u_ \xC3\x84rger " + std::string(60, 'x'),
       std::string("{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fcharset204 Times;}}\\f0 \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2 "
                   "{\\b \\'ec\\'e8\\'f0}!\\par}")},
      // What the RTF reader understands beyond text: headings, raised and
      // lowered text, line breaks in cells, bitmaps and pictures no page shows.
      {"Root", "W", "Raised",
       "{\\rtf1{\\stylesheet{Normal;}{\\s1 heading 1;}}\\pard\\s1 Learn {\\b C#}\\par\\pard{\\pntext 2.\\tab}"
       "\\outlinelevel1 - Numbered\\par\\pard E=mc{\\super 2}, H{\\sub 2}O, 10{\\up6 q}, x{\\sub max}, "
       "x{\\b\\super n}{\\super +1} 2{\\super nd}\\par\\trowd\\cellx1\\cellx2\\intbl a\\par b\\line c\\cell{\\super 3}\\cell"
       "\\row\\pard{\\pict\\dibitmap0\\picwgoal300\\pichgoal150 2800000001000000010000000100180000000000040000"
       "00000000000000000000000000000000000000ff00}{\\pict\\emfblip\\picw2540\\pich1270 01000000}\\par}"},
  };
}

// Every Markdown file of every test database, rendered by cmark-gfm, shows
// its title and the plain text of its document, and links only to allowed
// schemes; its front matter has the document's title and level; parents link
// to their children (markdown_renders_as_text.py).
TEST_F(HostExportTest, MarkdownRendersAsTheTextReads) {
  struct Database {
    const char* name;
    std::function<void(const std::string&)> write;
  } databases[] = {
      {"welcome", [](const std::string& path) { accessdb::WriteOutlineDatabase(path, {}, Nodes()); }},
      {"hostile", [](const std::string& path) { accessdb::WriteOutlineDatabase(path, {}, HostileNodes()); }},
      // A parent key that no entry has gives level 1: this outline starts there.
      {"levels",
       [](const std::string& path) {
         accessdb::WriteOutlineDatabase(path, {},
                                        {{"Nowhere", "W", "top at level 1", std::string("{\\rtf1 one\\par}")},
                                         {"W", "W1", "below it", std::string("two")},
                                         {"Nowhere", "W2", "top again", std::nullopt}});
       }},
      {"generated",
       [](const std::string& path) {
         accessdb::GeneratorOptions generator;
         generator.nodes = 120;
         generator.depth = 4;
         generator.content_bytes = 400;
         accessdb::WriteGeneratedOutlineDatabase(path, {}, generator);
       }},
      {"generated jet3 1251",
       [](const std::string& path) {
         accessdb::OutlineOptions options;
         options.format = accessdb::Format::kJet3;
         options.code_page = 1251;
         accessdb::GeneratorOptions generator;
         generator.nodes = 40;
         generator.seed = 5;
         accessdb::WriteGeneratedOutlineDatabase(path, options, generator);
       }},
  };
  for (const Database& d : databases) {
    database_ = directory_.File(std::string(d.name) + ".xtp");
    d.write(database_);
    const std::string json = directory_.File(std::string(d.name) + ".json");
    ASSERT_EQ(Export("json", json).status, 0) << d.name;
    const size_t documents = nlohmann::json::parse(ReadFile(json)).size();
    for (const char* layout : {"titles", "numbered"}) {
      const std::string out = directory_.File(std::string(d.name) + "-" + layout);
      const ProcessResult r = Export("markdown", out, {"--layout", layout});
      ASSERT_EQ(r.status, 0) << d.name << " " << layout << ": " << r.err;
      const ProcessResult check = RunProcess(
          ARVOLINE_PYTHON, {std::string(ARVOLINE_TEST_SOURCE_DIR) + "/markdown_renders_as_text.py", out, json});
      EXPECT_EQ(check.status, 0) << check.err;
      EXPECT_EQ(check.out, std::to_string(documents) + " notes checked\n") << d.name << " " << layout;
    }
  }
}

// NUL, ESC and the other control characters (but tab and line ends) reach no
// export, titles included; JSON keeps the import's own fields as delivered.
TEST_F(HostExportTest, ControlCharactersReachNoExport) {
  accessdb::WriteOutlineDatabase(database_, {},
                                 {{"Root", "K1", "T\x1bitle\x01", std::string("{\\rtf1 a\\'1bb\\'00c\\u27?d\\par}")},
                                  {"Root", "K2", "Plain", std::string("x\x01y\x1b[0mz\x7f\x08")}});
  auto hasControl = [](const std::string& text) {
    for (const char c : text)
      if ((static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0x7F) return true;
    return false;
  };
  for (const char* format : {"text", "html", "opml", "markdown"}) {
    const std::string out = directory_.File(std::string("ctl-") + format);
    ASSERT_EQ(Export(format, out).status, 0) << format;
    std::vector<std::string> files = {out};
    if (fs::is_directory(out)) {
      files.clear();
      for (const auto& e : fs::recursive_directory_iterator(out)) files.push_back(e.path().string());
    }
    for (const std::string& file : files) EXPECT_FALSE(hasControl(ReadFile(file))) << file;
  }
  ASSERT_EQ(Export("json", directory_.File("ctl.json")).status, 0);
  const nlohmann::json json = nlohmann::json::parse(ReadFile(directory_.File("ctl.json")));
  EXPECT_EQ(json[0]["text"], "abcd");
  EXPECT_EQ(json[1]["text"], "xy[0mz");
  EXPECT_EQ(json[1]["content"], "x\x01y\x1b[0mz\x7f\x08");
  EXPECT_EQ(ReadFile(directory_.File("ctl-text")), "Title\nabcd\n\nPlain\nxy[0mz\n");
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
