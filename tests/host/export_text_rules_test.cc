// The text rules the exports share: readable text, markup escaping, base64,
// safe file names, Markdown escaping, JSON strings and which link targets an
// export may make clickable.
#include <gtest/gtest.h>

#include <string>

#include <nlohmann/json.hpp>

#include "host/json_string.h"
#include "host/link_target.h"
#include "host/markdown_escape.h"
#include "host/markup_text.h"
#include "host/safe_file_name.h"
#include "host/sibling_names.h"

namespace {

struct Row {
  std::string in;
  std::string out;
};

TEST(ExportTextRulesTest, MarkupEscaping) {
  const Row text[] = {
      {"a<b>&\"c\"", "a&lt;b&gt;&amp;&quot;c&quot;"},
      {"tab\tline\nend\r", "tab\tline\nend\r"},
      {std::string("nul\0bell\x07" "del\x7F", 12), "nulbelldel"},
      {"esc\x1B[0m c1\xC2\x85\xC2\x9F nbsp\xC2\xA0", "esc[0m c1 nbsp\xC2\xA0"},
      {"\xEF\xBF\xBE\xEF\xBF\xBF" "ok\xEF\xBF\xBD", "ok\xEF\xBF\xBD"},  // U+FFFE, U+FFFF dropped, U+FFFD kept
      {"bad \xC3 byte", "bad \xEF\xBF\xBD byte"},
  };
  for (const Row& r : text) EXPECT_EQ(EscapeMarkup(r.in, false), r.out) << r.in;
  EXPECT_EQ(EscapeMarkup("a\tb\nc\rd", true), "a&#9;b&#10;c&#13;d");
}

TEST(ExportTextRulesTest, JsonStringsAreWrittenAsNlohmannWritesThem) {
  const Row rows[] = {
      {"{\\rtf1 \"a\"}", "\"{\\\\rtf1 \\\"a\\\"}\""},
      {"tab\tline\nfeed\f\b\r", "\"tab\\tline\\nfeed\\f\\b\\r\""},
      {std::string("nul\0esc\x1B" "del\x7F", 12), "\"nul\\u0000esc\\u001b" "del\x7F\""},
      {"caf\xC3\xA9 \xE2\x82\xAC", "\"caf\xC3\xA9 \xE2\x82\xAC\""},
      {"bad \xC3 byte", "\"bad \xEF\xBF\xBD byte\""},
      {"", "\"\""},
  };
  for (const Row& r : rows) EXPECT_EQ(JsonQuoted(r.in), r.out) << r.in;
  // Characters asked for are escaped too, in texts nlohmann writes as well.
  EXPECT_EQ(JsonQuoted("[x](javascript:y) <b>", "[<"), "\"\\u005bx](javascript:y) \\u003cb>\"");
  EXPECT_EQ(JsonQuoted("\xC3\x84 [<\\", "[<"), "\"\xC3\x84 \\u005b\\u003c\\\\\"");
  // Every byte, alone and between other text, as the library writes it.
  for (int b = 0; b < 256; ++b)
    for (const std::string& in : {std::string(1, char(b)), "x" + std::string(1, char(b)) + "\\y"})
      EXPECT_EQ(JsonQuoted(in), nlohmann::json(in).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace))
          << b;
}

TEST(ExportTextRulesTest, Base64) {
  const Row rows[] = {{"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {"foobar", "Zm9vYmFy"},
                      {std::string("\xFF\x00\xFE", 3), "/wD+"}};
  for (const Row& r : rows) EXPECT_EQ(Base64(r.in), r.out) << r.in;
}

TEST(ExportTextRulesTest, SafeFileNames) {
  const Row rows[] = {
      {"Plain title", "Plain title"},
      {"a/b\\c:d*e?f\"g<h>i|j", "a_b_c_d_e_f_g_h_i_j"},
      {"  .hidden. ", "hidden"},
      {"...", "untitled"},
      {"", "untitled"},
      {"tab\there", "tab_here"},
      {std::string(70, 'x'), std::string(60, 'x')},
      {std::string(59, 'x') + "\xC3\xA9" "end", std::string(59, 'x')},  // never cuts inside a character
      {"a#b^c[d]e", "a_b_c_d_e"},  // these end or cut a note tool's link
      {"CON", "CON_"}, {"nul.txt", "nul_.txt"}, {"Com1 ", "Com1_"}, {"LPT10", "LPT10"}, {"Console", "Console"},
  };
  for (const Row& r : rows) EXPECT_EQ(SafeFileName(r.in), r.out) << r.in;
  EXPECT_EQ(NumberedFileName(7, 12, "CON"), "007-CON");
  EXPECT_EQ(NumberedFileName(7, 1000, "x"), "0007-x");
  EXPECT_EQ(NumberedFileName(1000, 1000, "x"), "1000-x");
  EXPECT_EQ(NumberedFileName(99999, 100000, "x"), "099999-x");
}

TEST(ExportTextRulesTest, SiblingNamesStayDistinctWhereCaseIsIgnored) {
  SiblingNames names;
  const char* const notes[][2] = {{"Title", "Title"}, {"title", "title (2)"}, {"TITLE", "TITLE (3)"},
                                  {"Title (2)", "Title (2) (2)"}, {"Ärger", "Ärger"}, {"äRGER", "äRGER (2)"},
                                  {"x.md", "x.md"}, {"X", "X (2)"}};
  for (const auto& n : notes) EXPECT_EQ(names.TakeNoteName(n[0]), n[1]) << n[0];
  EXPECT_EQ(names.TakeFileName("Title-1", ".png"), "Title-1.png");
  EXPECT_EQ(names.TakeFileName("title-1", ".PNG"), "title-1 (2).PNG");
}

TEST(ExportTextRulesTest, MarkdownEscaping) {
  const Row text[] = {
      {"a*b_c`d[e]f<g>h|i~j\\k", "a\\*b\\_c\\`d\\[e\\]f\\<g\\>h\\|i\\~j\\\\k"},
      {"&amp; &copy; $1 #t ^s", "\\&amp; \\&copy; \\$1 \\#t \\^s"},
      {"==a== ++b %%c a=b+c%", "\\=\\=a\\=\\= \\+\\+b \\%\\%c a=b+c%"},
      {"line\nend\rcr\ttab\x1B", "line end cr\ttab"},
      {"- 1. no line start here", "- 1. no line start here"},
  };
  for (const Row& r : text) EXPECT_EQ(EscapeMarkdownText(r.in), r.out) << r.in;
  const Row atStart[] = {
      {"\\# not a heading", "\\# not a heading"}, {"- not a list", "\\- not a list"},
      {"+ not a list", "\\+ not a list"}, {"= underline", "\\= underline"},
      {"12. not numbered", "12\\. not numbered"}, {"3) no", "3\\) no"}, {"2024 was", "2024 was"},
  };
  for (const Row& r : atStart) EXPECT_EQ(EscapeMarkdownLineStart(r.in), r.out) << r.in;
}

TEST(ExportTextRulesTest, MarkdownLinkDestinations) {
  const Row urls[] = {
      {"https://x.org/a b?c=1&d=2", "<https://x.org/a b?c=1&d=2>"},
      {"x<y>\\z", "<x\\<y\\>\\\\z>"},
      {"java&#115;cript:x", "<java&amp;#115;cript:x>"},
      {"a\nb", "<ab>"},
  };
  for (const Row& r : urls) EXPECT_EQ(MarkdownUrl(r.in), r.out) << r.in;
  const Row paths[] = {
      {"Sub/My note (2).md", "Sub/My%20note%20%282%29.md"},
      {"100% Привет.md", "100%25%20Привет.md"},
      {"Tom & Jerry &amp;.md", "Tom%20&%20Jerry%20&amp;amp;.md"},
  };
  for (const Row& r : paths) EXPECT_EQ(MarkdownFilePath(r.in), r.out) << r.in;
}

TEST(ExportTextRulesTest, OnlyHarmlessLinksAreFollowed) {
  const Row rows[] = {
      {"https://example.org/a?b#c", "https://example.org/a?b#c"}, {"HTTP://X", "HTTP://X"},
      {"mailto:me@example.org", "mailto:me@example.org"}, {"file:///c:/notes.txt", "file:///c:/notes.txt"},
      {"#top", "#top"}, {"doc.htm#sec", "doc.htm#sec"}, {"dir/a:b", "dir/a:b"},
      {"javascript:alert(1)", ""}, {"JavaScript:x", ""}, {"data:text/html,<b>", ""}, {"vbscript:x", ""},
      {" javascript:x", ""}, {"\tjavascript:x", ""}, {"java\nscript:x", ""},
  };
  for (const Row& r : rows) EXPECT_EQ(SafeHref(r.in), r.out) << r.in;
}

}  // namespace
