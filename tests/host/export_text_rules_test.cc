// The text rules the exports share: markup escaping, base64, safe file
// names, Markdown escaping and which link targets an HTML page may follow.
#include <gtest/gtest.h>

#include <string>

#include "host/html_document.h"
#include "host/markdown_document.h"
#include "host/markup_text.h"
#include "host/safe_file_name.h"

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
      {"\xEF\xBF\xBE\xEF\xBF\xBF" "ok\xEF\xBF\xBD", "ok\xEF\xBF\xBD"},  // U+FFFE, U+FFFF dropped, U+FFFD kept
      {"bad \xC3 byte", "bad \xEF\xBF\xBD byte"},
  };
  for (const Row& r : text) EXPECT_EQ(EscapeMarkup(r.in, false), r.out) << r.in;
  EXPECT_EQ(EscapeMarkup("a\tb\nc\rd", true), "a&#9;b&#10;c&#13;d");
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
  };
  for (const Row& r : rows) EXPECT_EQ(SafeFileName(r.in), r.out) << r.in;
  EXPECT_EQ(NumberedFileName(7, "CON"), "007-CON");
  EXPECT_EQ(NumberedFileName(1234, "x"), "1234-x");
}

TEST(ExportTextRulesTest, MarkdownEscaping) {
  const Row atStart[] = {
      {"# not a heading", "\\# not a heading"}, {"- not a list", "\\- not a list"},
      {"12. not numbered", "12\\. not numbered"}, {"3) no", "3\\) no"},
      {"> no quote", "\\> no quote"}, {"2024 was", "2024 was"},
  };
  for (const Row& r : atStart) EXPECT_EQ(EscapeMarkdown(r.in, true), r.out) << r.in;
  EXPECT_EQ(EscapeMarkdown("a*b_c`d[e]f<g>h|i~j\\k # - 1.", false), "a\\*b\\_c\\`d\\[e\\]f\\<g\\>h\\|i\\~j\\\\k # - 1.");
}

TEST(ExportTextRulesTest, OnlyHarmlessLinksAreFollowed) {
  const Row rows[] = {
      {"https://example.org/a?b#c", "https://example.org/a?b#c"}, {"HTTP://X", "HTTP://X"},
      {"mailto:me@example.org", "mailto:me@example.org"}, {"file:///c:/notes.txt", "file:///c:/notes.txt"},
      {"#top", "#top"}, {"doc.htm#sec", "doc.htm#sec"}, {"dir/a:b", "dir/a:b"},
      {"javascript:alert(1)", ""}, {"JavaScript:x", ""}, {"data:text/html,<b>", ""}, {"vbscript:x", ""},
  };
  for (const Row& r : rows) EXPECT_EQ(SafeHref(r.in), r.out) << r.in;
}

}  // namespace
