// The RTF reader: its lexical rules, code pages, destinations, fields, the
// document model, and malformed input.
#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "rtf/plain_text.h"
#include "rtf/rtf_reader.h"

namespace rtf {
namespace {

std::string Text(const std::string& rtf) { return ContentText(rtf); }

struct Case {
  const char* name;
  std::string rtf;
  std::string text;
};

void ExpectCases(const std::vector<Case>& cases) {
  for (const Case& c : cases) EXPECT_EQ(Text(c.rtf), c.text) << c.name << ": " << c.rtf;
}

TEST(RtfReaderTest, FontCharsetsDecodeEscapesInTheirCodePage) {
  struct Row {
    int charset;
    std::string escaped;
    std::string utf8;
  };
  const std::vector<Row> rows = {
      {0, "caf\\'e9 cr\\'e8me", u8"café crème"},
      {1, "caf\\'e9 cr\\'e8me", u8"café crème"},
      {2, "\\'b7 abg \\'b3 \\'a5", u8"• αβγ ≥ ∞"},
      {77, "M\\'9fller Stra\\'a7e", u8"Müller Straße"},
      {128, "\\'93\\'fa\\'96\\'7b\\'8c\\'ea\\'82\\'cc\\'95\\'5c\\'8e\\'a6", u8"日本語の表示"},
      {129, "\\'c7\\'d1\\'b1\\'b9\\'be\\'ee \\'b9\\'ae\\'bc\\'ad", u8"한국어 문서"},
      {134, "\\'bc\\'f2\\'cc\\'e5\\'d6\\'d0\\'ce\\'c4", u8"简体中文"},
      {136, "\\'c1c\\'c5\\'e9\\'a4\\'a4\\'a4\\'e5", u8"繁體中文"},
      {161, "\\'c5\\'eb\\'eb\\'e7\\'ed\\'e9\\'ea\\'dc", u8"Ελληνικά"},
      {162, "T\\'fcrk\\'e7e \\'f6\\'f0renci", u8"Türkçe öğrenci"},
      {163, "\\'d0\\'fd\\'f5\\'ccng", u8"\u0110\u01b0\u01a1\u0300ng"},
      {177, "\\'f9\\'ec\\'e5\\'ed \\'f2\\'e5\\'ec\\'ed", u8"שלום עולם"},
      {178, "\\'e3\\'d1\\'cd\\'c8\\'c7 \\'c8\\'c7\\'e1\\'da\\'c7\\'e1\\'e3", u8"مرحبا بالعالم"},
      {186, "Lietuvi\\'f8 kalba", u8"Lietuvių kalba"},
      {204, "\\'cf\\'f0\\'e8\\'e2\\'e5\\'f2 \\'ec\\'e8\\'f0", u8"Привет мир"},
      {222, "\\'c0\\'d2\\'c9\\'d2\\'e4\\'b7\\'c2", u8"ภาษาไทย"},
      {238, "Za\\'bf\\'f3\\'b3\\'e6 g\\'ea\\'9cl\\'b9", u8"Zażółć gęślą"},
  };
  for (const Row& row : rows) {
    const std::string rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
                            "{\\f1\\fnil\\fcharset" + std::to_string(row.charset) + " Other;}}"
                            "\\f0 A \\f1 " + row.escaped + "\\f0  Z\\par}";
    EXPECT_EQ(Text(rtf), "A " + row.utf8 + " Z") << "charset " << row.charset;
  }
}

TEST(RtfReaderTest, CodePageChoice) {
  const std::string cyrillic = "\\'cf\\'f0\\'e8\\'e2\\'e5\\'f2";  // "Привет" in 1251, "Ïðèâåò" in 1252
  ExpectCases({
      {"charset 0 follows ansicpg", "{\\rtf1\\ansicpg1251{\\fonttbl{\\f0\\fcharset0 A;}}\\f0 " + cyrillic + "}", u8"Привет"},
      {"cpg overrides the charset", "{\\rtf1\\ansicpg1252{\\fonttbl{\\f0\\fcharset0\\cpg1251 A;}}\\f0 " + cyrillic + "}",
       u8"Привет"},
      {"no font table: ansicpg", "{\\rtf1\\ansicpg1251 " + cyrillic + "}", u8"Привет"},
      {"neither: 1252", "{\\rtf1 " + cyrillic + "}", u8"Ïðèâåò"},
      {"deff before any \\f", "{\\rtf1\\ansicpg1252\\deff1{\\fonttbl{\\f0\\fcharset0 A;}{\\f1\\fcharset204 B;}}" + cyrillic + "}",
       u8"Привет"},
      {"font missing from the table", "{\\rtf1\\ansicpg1252{\\fonttbl{\\f0\\fcharset204 A;}}\\f7 " + cyrillic + "}",
       u8"Ïðèâåò"},
      {"lang changes nothing", "{\\rtf1\\ansicpg1252\\lang1049 " + cyrillic + "}", u8"Ïðèâåò"},
      {"font table without inner groups", "{\\rtf1{\\fonttbl\\f0\\fcharset0 A;\\f1\\fcharset204 B;}\\f1 " + cyrillic + "}",
       u8"Привет"},
      {"group restores the font", "{\\rtf1{\\fonttbl{\\f0\\fcharset0 A;}{\\f1\\fcharset204 B;}}\\f0{\\f1 \\'e0}\\'e0}",
       u8"аà"},
      {"unknown code page falls back to 1252", "{\\rtf1\\ansicpg99999 \\'e0}", u8"à"},
      {"cut lead byte of a double-byte page", "{\\rtf1\\ansicpg932 \\'93}", u8"\uFFFD"},
  });
}

TEST(RtfReaderTest, UnicodeEscapes) {
  ExpectCases({
      {"one fallback by default", "{\\rtf1 \\u8364?x}", u8"€x"},
      {"negative value", "{\\rtf1 \\u-3913?}", u8"\uF0B7"},
      {"uc2 skips two", "{\\rtf1\\uc2 \\u26085\\'93\\'fa!}", u8"日!"},
      {"uc0 skips nothing", "{\\rtf1\\uc0 \\u233 e}", u8"ée"},
      {"a control word counts one", "{\\rtf1\\uc1 \\u233\\bullet x}", u8"éx"},
      {"group restores uc", "{\\rtf1{\\uc2 \\u233 ab}\\u233 ab}", u8"éé" "b"},
      {"a brace ends the fallback", "{\\rtf1\\uc3 \\u233{ab}}", u8"éab"},
      {"surrogate pair joined", "{\\rtf1 \\u-10179?\\u-8704?}", u8"😀"},
      {"lone high surrogate", "{\\rtf1 \\u-10179?x}", u8"\uFFFDx"},
      {"lone low surrogate", "{\\rtf1 \\u-8704?x}", u8"\uFFFDx"},
  });
}

TEST(RtfReaderTest, TokenRules) {
  ExpectCases({
      {"space after a word is its delimiter", "{\\rtf1\\b  two}", " two"},
      {"space after a symbol is text", "{\\rtf1 a\\~ b\\'e9 c}", u8"a\u00A0 bé c"},
      {"CR and LF ignored", "{\\rtf1 ab\r\ncd\n}", "abcd"},
      {"escaped braces and backslash", "{\\rtf1 \\{x\\}\\\\}", "{x}\\"},
      {"unknown words ignored", "{\\rtf1 a\\foobar12 b\\zzz c}", "abc"},
      {"unknown group word keeps its text", "{\\rtf1 a{\\foobar b}c}", "abc"},
      {"starred unknown group skipped", "{\\rtf1 a{\\*\\foobar b}c}", "ac"},
      {"page and sect end a line", "{\\rtf1 a\\page b\\sect c}", "a\nb\nc"},
      {"backslash newline is par", "{\\rtf1 a\\\nb}", "a\nb"},
      {"line, tab", "{\\rtf1 a\\line b\\tab c}", "a\nb\tc"},
      {"special characters", "{\\rtf1 \\emdash\\endash\\lquote\\rquote\\ldblquote\\rdblquote\\bullet}",
       u8"—–‘’“”•"},
      {"optional hyphen dropped, non-breaking kept", "{\\rtf1 a\\-b\\_c}", u8"ab\u2011c"},
      {"negative parameter", "{\\rtf1\\li-360 x}", "x"},
      {"huge parameter", "{\\rtf1\\uc99999999999999999 \\u65 x}", "A"},
      {"trailing blanks and empty lines", "{\\rtf1 a  \\par\\par b\\tab\\par\\par\\par}", "a\n\nb"},
      {"text that is not RTF: a paragraph a line", "just text\r\n  with lines  \n", "just text\n  with lines"},
  });
}

TEST(RtfReaderTest, SkippedDestinations) {
  ExpectCases({
      {"font table", "{\\rtf1{\\fonttbl{\\f0 Arial;}}x}", "x"},
      {"color table, stylesheet, info", "{\\rtf1{\\colortbl;\\red0;}{\\stylesheet{Normal;}}{\\info{\\title T}}x}", "x"},
      {"header and footer", "{\\rtf1{\\header H}{\\footerl F}x}", "x"},
      {"list tables", "{\\rtf1{\\*\\listtable{\\list L}}{\\listoverridetable{O}}x}", "x"},
      {"pn skipped, pntext kept", "{\\rtf1{\\pntext 1.\\tab}{\\*\\pn\\pnlvlbody{\\pntxta .}}x}", "1.\tx"},
      {"listtext kept", "{\\rtf1{\\listtext\\'95\\tab}x}", u8"•\tx"},
      {"object: only its result", "{\\rtf1{\\object\\objemb{\\*\\objclass P}{\\*\\objdata 0102}{\\result R}}x}", "Rx"},
      {"bin bytes skipped", "{\\rtf1 a{\\*\\blob\\bin3 }{}b}c}", "ac"},
      {"bin in text skipped", "{\\rtf1 a\\bin2 \\}b}", "ab"},
      {"hidden text dropped", "{\\rtf1 a\\v b\\v0 c{\\v d}e}", "ace"},
      {"nonshppict skipped", "{\\rtf1 a{\\nonshppict{\\pict\\wmetafile8 0102}}b}", "ab"},
      {"field result text", "{\\rtf1 {\\field{\\*\\fldinst PAGE}{\\fldrslt 3}} x}", "3 x"},
  });
}

// The run styles of the first paragraph, as "text:flags|target".
std::string Runs(const std::string& rtf) {
  const Document d = ReadDocument(rtf);
  std::string out;
  const auto& p = std::get<Paragraph>(d.blocks.at(0));
  for (const Inline& piece : p.inlines) {
    if (piece.kind != Inline::Kind::kText) continue;
    if (!out.empty()) out += ' ';
    out += piece.text + ":" + (piece.style.bold ? "b" : "") + (piece.style.italic ? "i" : "") +
           (piece.style.underline ? "u" : "") + (piece.style.strike ? "s" : "");
    if (!piece.style.link.empty()) out += "|" + piece.style.link;
  }
  return out;
}

TEST(RtfReaderTest, RunStylesAndLinks) {
  const std::vector<std::pair<std::string, std::string>> rows = {
      {"{\\rtf1 a\\b b\\b0 c}", "a: b:b c:"},
      {"{\\rtf1 {\\i i}{\\ul u}{\\strike s}{\\ul\\ulnone n}}", "i:i u:u s:s n:"},
      {"{\\rtf1\\b\\i x\\plain y}", "x:bi y:"},
      {"{\\rtf1{\\field{\\*\\fldinst{HYPERLINK \"http://example.org/a b\"}}{\\fldrslt{\\ul Site}}} after}",
       "Site:u|http://example.org/a b  after:"},
      {"{\\rtf1{\\field{\\*\\fldinst HYPERLINK \\\\l \"top\"}{\\fldrslt Up}}}", "Up:|#top"},
      {"{\\rtf1{\\field{\\*\\fldinst hyperlink doc.htm \\\\l sec \\\\o \"tip\"}{\\fldrslt D}}}", "D:|doc.htm#sec"},
  };
  for (const auto& [rtf, runs] : rows) EXPECT_EQ(Runs(rtf), runs) << rtf;
}

TEST(RtfReaderTest, ListParagraphs) {
  const Document d = ReadDocument(
      "{\\rtf1{\\fonttbl{\\f0\\fcharset0 A;}{\\f1\\fcharset2 Symbol;}}"
      "{\\pntext\\f1\\'b7\\tab}one\\par"
      "\\ilvl1{\\listtext\\f1\\'b7\\tab}two\\par"
      "\\pard{\\pntext\\f0 2.\\tab}three\\par"
      "\\pard plain\\par}");
  ASSERT_EQ(d.blocks.size(), 4u);
  struct Expected {
    ListKind kind;
    int level;
    std::string marker;
  };
  const Expected expected[] = {
      {ListKind::kBullet, 0, u8"•\t"}, {ListKind::kBullet, 1, u8"•\t"}, {ListKind::kNumber, 0, "2.\t"}, {ListKind::kNone, 0, ""}};
  for (size_t i = 0; i < 4; ++i) {
    const auto& p = std::get<Paragraph>(d.blocks[i]);
    EXPECT_EQ(p.list, expected[i].kind) << i;
    EXPECT_EQ(p.listLevel, expected[i].level) << i;
    EXPECT_EQ(p.listMarker, expected[i].marker) << i;
  }
}

TEST(RtfReaderTest, Tables) {
  const std::string rtf =
      "{\\rtf1 before\\par"
      "\\trowd\\cellx1000\\cellx2000\\pard\\intbl a1\\cell b1\\line more\\cell\\row"
      "\\trowd\\cellx1000\\cellx2000\\pard\\intbl a2\\cell\\cell\\row"
      "\\pard after\\par}";
  const Document d = ReadDocument(rtf);
  ASSERT_EQ(d.blocks.size(), 3u);
  const auto& table = std::get<Table>(d.blocks[1]);
  ASSERT_EQ(table.rows.size(), 2u);
  ASSERT_EQ(table.rows[0].cells.size(), 2u);
  ASSERT_EQ(table.rows[1].cells.size(), 2u);
  EXPECT_EQ(ParagraphText(table.rows[0].cells[1].paragraphs.at(0)), "b1\nmore");
  EXPECT_EQ(PlainText(d), "before\na1\tb1 more\na2\nafter");
}

TEST(RtfReaderTest, Pictures) {
  const Document d = ReadDocument(
      "{\\rtf1 a{\\*\\shppict{\\pict\\pngblip\\picw10\\pich10\\picwgoal1440\\pichgoal720\\picscalex50 "
      "89504E47\r\n0d0a1a0A}}"
      "{\\pict\\jpegblip\\bin4 \xFF\xD8\xFF\xE0}{\\pict\\emfblip 01000000}{\\pict\\wmetafile8 d7cd}"
      "{\\pict\\dibitmap0 0000}b}");
  ASSERT_EQ(d.pictures.size(), 4u);
  EXPECT_EQ(d.pictures[0].kind, PictureKind::kPng);
  EXPECT_EQ(d.pictures[0].bytes, "\x89PNG\r\n\x1a\n");
  EXPECT_EQ(d.pictures[0].widthTwips, 720);
  EXPECT_EQ(d.pictures[0].heightTwips, 720);
  EXPECT_EQ(d.pictures[1].kind, PictureKind::kJpeg);
  EXPECT_EQ(d.pictures[1].bytes, "\xFF\xD8\xFF\xE0");
  EXPECT_EQ(d.pictures[2].kind, PictureKind::kEmf);
  EXPECT_EQ(d.pictures[3].kind, PictureKind::kWmf);
  EXPECT_EQ(d.pictures[3].bytes, "\xD7\xCD");
  const auto& p = std::get<Paragraph>(d.blocks.at(0));
  ASSERT_EQ(p.inlines.size(), 6u);
  EXPECT_EQ(p.inlines[1].kind, Inline::Kind::kPicture);
  EXPECT_EQ(PlainText(d), "ab");
}

TEST(RtfReaderTest, MalformedInput) {
  ExpectCases({
      {"missing final brace", "{\\rtf1 a{\\b b", "ab"},
      {"text after the outermost group ignored", "{\\rtf1 a}b{c}", "a"},
      {"unbalanced closing brace", "{\\rtf1 a}}}b", "a"},
      {"truncated escape", "{\\rtf1 a\\'4", "a"},
      {"escape cut by the end", "{\\rtf1 a\\'", "a"},
      {"bad hex digits", "{\\rtf1 a\\'zzb}", "azzb"},
      {"lone backslash at the end", "{\\rtf1 a\\", "a"},
      {"over-long bin", "{\\rtf1 a{\\pict\\pngblip\\bin999 xy", "a"},
      {"cut control word", "{\\rtf1 a\\par", "a"},
      {"empty group", "{\\rtf1 {}}", ""},
      {"only the header", "{\\rtf", ""},
      {"field without instruction", "{\\rtf1{\\fldrslt x}{\\*\\fldinst y}}", "x"},
      {"unicode at the end", "{\\rtf1 \\u-10179", u8"\uFFFD"},
  });
}

TEST(RtfReaderTest, DeepNestingNeedsNoRecursion) {
  const size_t depth = 100000;
  std::string rtf = "{\\rtf1 a";
  for (size_t i = 0; i < depth; ++i) rtf += "{\\b ";
  rtf += "deep";
  EXPECT_EQ(Text(rtf), "adeep");  // never closed
  for (size_t i = 0; i < depth; ++i) rtf += "}";
  rtf += "c}";
  EXPECT_EQ(Text(rtf), "adeepc");
  const Document d = ReadDocument(rtf);
  EXPECT_EQ(Runs(rtf), "a: deep:b c:");
  // Deeper than the reader keeps states for: the groups still balance.
  std::string deeper = "{\\rtf1 x" + std::string(RtfReader::kMaxGroupDepth + 10, '{') + "y" +
                       std::string(RtfReader::kMaxGroupDepth + 10, '}') + "z}tail";
  EXPECT_EQ(Text(deeper), "xyz");
}

TEST(RtfReaderTest, LargeDocument) {
  const std::string paragraph = "{\\rtf1\\ansicpg1251 ";
  std::string rtf = paragraph;
  const std::string line = "\\b \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2\\b0  text {\\i more}\\par\n";
  while (rtf.size() < 50u * 1024 * 1024) rtf += line;
  rtf += "}";
  const Document d = ReadDocument(rtf);
  const size_t lines = (rtf.size() - paragraph.size() - 1) / line.size();
  EXPECT_EQ(d.blocks.size(), lines);
  EXPECT_EQ(std::get<Paragraph>(d.blocks.back()).inlines.at(0).text, u8"Привет");
}

}  // namespace
}  // namespace rtf
