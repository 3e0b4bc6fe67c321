// Documents as Markdown: every construct the text did not have is escaped,
// styles become delimiters only where CommonMark reads them back as written,
// links go only to harmless schemes, and lists nest under their parents.
#include <gtest/gtest.h>

#include <string>

#include "host/markdown_document.h"
#include "rtf/rtf_reader.h"

namespace {

struct Row {
  const char* name;
  std::string content;  // RTF, or any other text
  std::string markdown;
};

std::string Link(const std::string& target, const std::string& text) {
  return "{\\field{\\*\\fldinst HYPERLINK \"" + target + "\"}{\\fldrslt " + text + "}}";
}

std::string Body(const std::string& content) {
  return MarkdownBody(rtf::ReadDocument(content), [](size_t i) { return "note-" + std::to_string(i + 1) + ".png"; });
}

TEST(MarkdownDocumentTest, TextReadsAsWritten) {
  const Row rows[] = {
      {"block starts after a line break", "{\\rtf1 a\\line # x\\line ---\\line - y\\line + z\\line 12. n\\line 2) m\\par}",
       "a\\\n\\# x\\\n\\---\\\n\\- y\\\n\\+ z\\\n12\\. n\\\n2\\) m\n"},
      {"setext underline", "{\\rtf1 title\\line ===\\par}", "title\\\n\\=\\=\\=\n"},
      {"four blanks are no code", "{\\rtf1     code?\\line     more\\par}", "code?\\\nmore\n"},
      {"references stay literal", "{\\rtf1 &amp; &copy; &#169;\\par}", "\\&amp; \\&copy; \\&\\#169;\n"},
      {"raw HTML stays literal", "{\\rtf1 <script>x</script> <b>\\par}", "\\<script\\>x\\</script\\> \\<b\\>\n"},
      {"note tools' syntax", "{\\rtf1 $5 ==h== #tag ^x ~y C++ 10%% [[w]]\\par}",
       "\\$5 \\=\\=h\\=\\= \\#tag \\^x \\~y C\\+\\+ 10\\%\\% \\[\\[w\\]\\]\n"},
      {"control characters dropped", "{\\rtf1 a\\'1bb\\'7fc\\'00d\\par}", "abcd\n"},
      {"a line break at the end", "{\\rtf1 a\\line\\par}", "a\n"},
      {"text that is not RTF", "<tr>x</tr>\n    - y\n\n\t*z*", "\\<tr\\>x\\</tr\\>\n\n\\- y\n\n\\*z\\*\n"},
  };
  for (const Row& r : rows) EXPECT_EQ(Body(r.content), r.markdown) << r.name;
}

TEST(MarkdownDocumentTest, EmphasisOpensAndClosesWhereTheStyleDoes) {
  const Row rows[] = {
      {"plain", "{\\rtf1 a {\\b b} {\\i c} {\\strike d} {\\ul e}\\par}", "a **b** *c* ~~d~~ <u>e</u>\n"},
      {"inside a word", "{\\rtf1 un{\\b believ}able\\par}", "un**believ**able\n"},
      {"blanks stay outside", "{\\rtf1{\\b bold }text\\par}", "**bold** text\n"},
      {"punctuation outside blanks", "{\\rtf1 see {\\b (this)}.\\par}", "see **(this)**.\n"},
      {"punctuation before a letter", "{\\rtf1{\\b Note:}text\\par}", "<strong>Note:</strong>text\n"},
      {"bold, bold italic, italic", "{\\rtf1{\\b bold}{\\b\\i both}{\\i it}\\par}", "**bold*both***<em>it</em>\n"},
      {"italic then bold", "{\\rtf1 x{\\i a}{\\b b}y\\par}", "x*a*<strong>b</strong>y\n"},
      {"guillemets", "{\\rtf1 \\u171?{\\b x}\\u187?\\par}", "«**x**»\n"},
      {"a symbol first", "{\\rtf1 a{\\b \\u169?x}\\par}", "a<strong>©x</strong>\n"},
      {"a literal asterisk next to bold", "{\\rtf1 5*{\\b x}\\par}", "5\\***x**\n"},
  };
  for (const Row& r : rows) EXPECT_EQ(Body(r.content), r.markdown) << r.name;
}

TEST(MarkdownDocumentTest, LinksOnlyToHarmlessTargets) {
  const Row rows[] = {
      {"javascript", "{\\rtf1 " + Link("javascript:alert(1)", "a") + "\\par}", "a\n"},
      {"with a blank before", "{\\rtf1 " + Link(" javascript:x", "b") + "\\par}", "b\n"},
      {"vbscript and data", "{\\rtf1 " + Link("VBScript:x", "c") + Link("data:text/html,x", "d") + "\\par}", "cd\n"},
      {"a reference stays literal", "{\\rtf1 " + Link("java&#115;cript:x", "e") + "\\par}",
       "[e](<java&amp;#115;cript:x>)\n"},
      {"web", "{\\rtf1 " + Link("https://x.org/?a=1&b=2", "f") + "\\par}", "[f](<https://x.org/?a=1&b=2>)\n"},
      {"an exclamation mark before", "{\\rtf1 Look!" + Link("https://x", "here") + "\\par}", "Look\\![here](<https://x>)\n"},
      {"a tab inside", "{\\rtf1 " + Link("https://x", "a\\tab b") + "\\par}", "[a\tb](<https://x>)\n"},
      {"a picture", "{\\rtf1{\\pict\\pngblip 89504e47}\\par}", "![picture 1](note-1.png)\n"},
  };
  for (const Row& r : rows) EXPECT_EQ(Body(r.content), r.markdown) << r.name;
}

TEST(MarkdownDocumentTest, ListsAndTables) {
  const std::string bullet = "{\\pntext\\'b7\\tab}";
  const Row rows[] = {
      {"nested under the parent's text", "{\\rtf1 " + bullet + "a\\par\\ilvl1" + bullet + "b\\line c\\par}",
       "- a\n  - b\\\n    c\n"},
      {"a numbered list after a bullet", "{\\rtf1 " + bullet + "a\\par\\pard{\\pntext 3.\\tab}c\\par{\\pntext 4.\\tab}d\\par}",
       "- a\n\n3. c\n4. d\n"},
      {"a deeper level first", "{\\rtf1 para\\par\\ilvl1" + bullet + "deep\\par}", "para\n\n- deep\n"},
      {"an empty item", "{\\rtf1 " + bullet + "a\\par\\ilvl1" + bullet + "\\par}", "- a\n  - &nbsp;\n"},
      {"a table", "{\\rtf1\\trowd\\cellx1\\cellx2\\intbl a|b\\cell # c\\cell\\row}", "| a\\|b | \\# c |\n| --- | --- |\n"},
      {"a ragged table", "{\\rtf1\\trowd\\intbl a\\cell\\row\\trowd\\intbl b\\cell c\\cell\\row\\trowd\\intbl d\\cell\\row}",
       "| a |  |\n| --- | --- |\n| b | c |\n| d |\n"},
  };
  for (const Row& r : rows) EXPECT_EQ(Body(r.content), r.markdown) << r.name;
}

}  // namespace
