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
      {"negative value", "{\\rtf1 \\u-3913?}", u8"\u2022"},
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

// The content reaches the reader as UTF-8: text written unescaped is Unicode.
TEST(RtfReaderTest, UnescapedTextIsUnicodeAlready) {
  ExpectCases({
      {"Latin in 1252", "{\\rtf1\\ansi\\ansicpg1252 caf\u00e9 cr\u00e8me}", u8"café crème"},
      {"Cyrillic in a 1251 font", "{\\rtf1\\ansicpg1251{\\fonttbl{\\f0\\fcharset204 T;}}\\f0 \u041f\u0440\u0438\u0432\u0435\u0442}",
       u8"Привет"},
      {"escapes then raw text", "{\\rtf1\\ansicpg1251 \\'cf\\'f0\u0438\u0432}", u8"Прив"},
      {"outside the BMP", "{\\rtf1 a\U0001F600b}", u8"a😀b"},
      {"a raw fallback character is skipped whole", "{\\rtf1 \\u233\u00e9!}", u8"é!"},
      {"uc2 skips two characters", "{\\rtf1\\uc2 \\u26085\u00e9\u00e8!}", u8"日!"},
      {"no UTF-8: the code page", "{\\rtf1\\ansicpg1251 \xcf\xf0}", u8"Пр"},
      {"raw text in the Symbol font", "{\\rtf1{\\fonttbl{\\f1\\fcharset2 Symbol;}}\\f1 \u00b7ab \u00a5}", u8"•αβ ∞"},
      {"field target", "{\\rtf1{\\field{\\*\\fldinst HYPERLINK \"http://x/\u00e9\"}{\\fldrslt r\u00e9}}}", u8"ré"},
  });
}

// Symbol and Wingdings characters, as bytes or as the private-use characters
// Word and LibreOffice write (U+F000 + byte), come out as what they draw.
TEST(RtfReaderTest, SymbolFontCharactersAreWhatTheyDraw) {
  const std::string fonts =
      "{\\rtf1{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\ftech\\fcharset2 Symbol;}"
      "{\\f2\\fnil\\fcharset2 Wingdings;}{\\f3 Symbol;}{\\f4\\fcharset2{\\*\\panose 05000000000000000000}Wingdings;}}";
  ExpectCases({
      {"Word's Symbol bullet", fonts + "\\f1 \\u61623\\'b7 \\f0 x}", u8"• x"},
      {"LibreOffice's, negative", fonts + "{\\listtext\\f1 \\u-3913\\'b7\\tab}x}", u8"•\tx"},
      {"Symbol arrows and Greek", fonts + "\\f1 \\u61662?\\u61614?\\u61505?\\'de}", u8"⇒→Α⇒"},
      {"Symbol digits stay digits", fonts + "\\f1 \\u61489?\\u61483?}", "1+"},
      {"named Symbol without a charset", fonts + "\\f3 \\u61623? a}", u8"• α"},
      {"Wingdings bullets", fonts + "\\f2 \\u61607?\\u61656?\\u61692?\\u61558?\\u61548?\\u61550?\\u61553?}",
       u8"▪➢✓❖●■❑"},
      {"Wingdings bytes", fonts + "\\f2 \\'a7 \\'d8 \\'fc v}", u8"▪ ➢ ✓ ❖"},
      {"Wingdings after a panose group", fonts + "\\f4 \\'e8\\'fe}", u8"➔☑"},
      {"Wingdings without a known character", fonts + "\\f2 0\\u61488?}", u8"\uF030\uF030"},
      {"list bullets in another font", fonts + "\\f0 \\u61623?\\u61607?\\u61656?\\u61692?}", u8"•▪➢✓"},
      {"other private-use characters kept", fonts + "\\f0 \\u61473?\\u57344?}", u8"\uF021\uE000"},
      {"text fonts untouched", fonts + "\\f0 ab\\'b7}", u8"ab·"},
  });
}

TEST(RtfReaderTest, SuperscriptAndSubscript) {
  ExpectCases({
      {"super", "{\\rtf1 10{\\super 6}}", u8"10⁶"},
      {"up", "{\\rtf1 m{\\up6 2}}", u8"m²"},
      {"sub", "{\\rtf1 H{\\sub 2}O}", u8"H₂O"},
      {"dn without a value", "{\\rtf1 x{\\dn 1}}", u8"x₁"},
      {"signs and letters", "{\\rtf1 x{\\super n+1} 1{\\super st}}", u8"xⁿ⁺¹ 1ˢᵗ"},
      {"no superscript character", "{\\rtf1 10{\\super q}}", "10^q"},
      {"several without", "{\\rtf1 F{\\sub bc}}", "F_(bc)"},
      {"blanks stay outside", "{\\rtf1 a{\\super 2 }b}", u8"a² b"},
      {"nosupersub ends it", "{\\rtf1\\super 2\\nosupersub 3}", u8"²3"},
      {"up0 ends it", "{\\rtf1\\up6 2\\up0 3}", u8"²3"},
      {"plain ends it", "{\\rtf1\\sub 2\\plain 3}", u8"₂3"},
      {"sub replaces super", "{\\rtf1\\super\\sub 2}", u8"₂"},
      {"one run over styles", "{\\rtf1 x{\\super n}{\\super\\b +1}}", u8"xⁿ⁺¹"},
  });
}

// The layout of each paragraph as "hN align dir", paragraphs joined by "|".
std::string Layouts(const std::string& rtf) {
  static const char* const kAlignments[] = {"start", "center", "end", "justify"};
  std::string out;
  for (const Block& block : ReadDocument(rtf).blocks) {
    const auto& p = std::get<Paragraph>(block);
    if (!out.empty()) out += '|';
    out += "h" + std::to_string(p.headingLevel) + " " + kAlignments[static_cast<int>(p.alignment)] +
           (p.rightToLeft ? " rtl" : " ltr");
  }
  return out;
}

TEST(RtfReaderTest, HeadingsAlignmentAndDirection) {
  const std::string styles =
      "{\\rtf1{\\stylesheet{\\ql Normal;}{\\s1\\b\\fs32 heading 1;}{\\s2\\outlinelevel1 \u00dcberschrift 2;}"
      "{\\s3  Heading 3 ;}{\\s4 heading 4,h4;}{\\s5\\outlinelevel9 heading 5;}{\\*\\cs10 heading 6;}{\\cs11 heading 7;}"
      "{\\s12 heading 10;}}";
  const std::pair<std::string, std::string> rows[] = {
      {styles + "\\pard\\s1 A\\par}", "h1 start ltr"},
      {styles + "\\pard\\s2 A\\par}", "h2 start ltr"},
      {styles + "\\pard\\s3 A\\par\\pard\\s4 B\\par}", "h3 start ltr|h4 start ltr"},
      {styles + "\\pard\\s5 A\\par\\pard\\s12 B\\par}", "h0 start ltr|h0 start ltr"},
      {styles + "\\pard A\\par\\pard\\s10 B\\par\\pard\\s11 C\\par}", "h0 start ltr|h0 start ltr|h0 start ltr"},
      {styles + "\\pard\\s1 A\\par B\\par\\pard C\\par}", "h1 start ltr|h1 start ltr|h0 start ltr"},
      {styles + "\\pard\\s1\\outlinelevel9 A\\par}", "h0 start ltr"},
      {"{\\rtf1\\pard\\outlinelevel0 A\\par\\pard\\outlinelevel2 B\\par}", "h1 start ltr|h3 start ltr"},
      {"{\\rtf1\\qc A\\par\\qr B\\par\\qj C\\par\\ql D\\par\\qc\\pard E\\par}",
       "h0 center ltr|h0 end ltr|h0 justify ltr|h0 start ltr|h0 start ltr"},
      {"{\\rtf1\\pard\\rtlpar\\qr A\\par\\ltrpar B\\par\\rtlpar\\pard C\\par}", "h0 end rtl|h0 end ltr|h0 start ltr"},
      {"{\\rtf1{\\qc A\\par}B\\par}", "h0 center ltr|h0 start ltr"},
  };
  for (const auto& [rtf, layouts] : rows) EXPECT_EQ(Layouts(rtf), layouts) << rtf;
  EXPECT_EQ(Text(styles + "\\pard\\s1 Title\\par Body\\par}"), "Title\nBody") << "the style sheet shows no text";
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
           (piece.style.underline ? "u" : "") + (piece.style.strike ? "s" : "") + (piece.style.superscript ? "^" : "") +
           (piece.style.subscript ? "_" : "") + (piece.style.rightToLeft ? "r" : "");
    if (!piece.style.link.empty()) out += "|" + piece.style.link;
  }
  return out;
}

TEST(RtfReaderTest, RunStylesAndLinks) {
  const std::vector<std::pair<std::string, std::string>> rows = {
      {"{\\rtf1 a\\b b\\b0 c}", "a: b:b c:"},
      {"{\\rtf1 {\\i i}{\\ul u}{\\strike s}{\\ul\\ulnone n}}", "i:i u:u s:s n:"},
      {"{\\rtf1\\b\\i x\\plain y}", "x:bi y:"},
      {"{\\rtf1 a{\\super b}{\\sub c}{\\up6 d}{\\dn3 e}\\super f\\plain g}", "a: b:^ c:_ d:^ e:_ f:^ g:"},
      {"{\\rtf1 a\\rtlch\\fcs1 \\ltrch\\fcs0 b\\ltrch\\rtlch c\\plain d}", "ab: c:r d:"},
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
  EXPECT_EQ(ParagraphText(d, table.rows[0].cells[1].paragraphs.at(0)), "b1\nmore");
  EXPECT_EQ(PlainText(d), "before\na1\tb1\nmore\na2\nafter");
  // A paragraph in a cell is a line break within the cell, as \\line is.
  EXPECT_EQ(Text("{\\rtf1\\trowd\\intbl a\\par b\\cell c\\par\\par d\\cell\\row\\pard after}"), "a\nb\tc\n\nd\nafter");
}

// A packed device-independent bitmap of one red pixel, as \\dibitmap stores it.
const char kRedPixelDib[] = "28000000010000000100000001001800000000000400000000000000000000000000000000000000" "0000ff00";

TEST(RtfReaderTest, Pictures) {
  struct Row {
    std::string group;
    PictureKind kind;
    std::string bytesStart;
    int32_t widthTwips, heightTwips;
    std::string text;
  };
  const Row rows[] = {
      {"{\\*\\shppict{\\pict\\pngblip\\picw10\\pich10\\picwgoal1440\\pichgoal720\\picscalex50 89504E47\r\n0d0a1a0A}}",
       PictureKind::kPng, "\x89PNG\r\n\x1a\n", 720, 720, "[picture 1: PNG, 48 \u00D7 48 px]"},
      {"{\\pict\\jpegblip\\bin4 \xFF\xD8\xFF\xE0}", PictureKind::kJpeg, "\xFF\xD8\xFF\xE0", 0, 0, "[picture 1: JPEG, 4 bytes]"},
      {"{\\pict\\emfblip\\picw2540\\pich1270 01000000}", PictureKind::kEmf, "\x01", 1440, 720, "[picture 1: EMF, 96 \u00D7 48 px]"},
      {"{\\pict\\wmetafile8 d7cd}", PictureKind::kWmf, "\xD7\xCD", 0, 0, "[picture 1: WMF, 2 bytes]"},
      {"{\\pict\\pngblip\\picw20\\pich10 00}", PictureKind::kPng, std::string(1, '\0'), 0, 0, "[picture 1: PNG, 1 bytes]"},
      {std::string("{\\pict\\dibitmap0\\picw1\\pich1 ") + kRedPixelDib + "}", PictureKind::kBmp,
       std::string("BM\x3a\0\0\0\0\0\0\0\x36\0\0\0\x28", 15), 15, 15, "[picture 1: BMP, 1 \u00D7 1 px]"},
      {"{\\pict\\dibitmap0 0000}", PictureKind::kBitmap, std::string(2, '\0'), 0, 0, "[picture 1: Windows bitmap, 2 bytes]"},
      {"{\\pict\\wbitmap0\\picw3\\pich2\\wbmbitspixel1\\wbmplanes1\\wbmwidthbytes2 a0004000}", PictureKind::kBmp,
       "BM\x46", 45, 30, "[picture 1: BMP, 3 \u00D7 2 px]"},
      {"{\\pict\\wbitmap0\\picw3\\pich2\\wbmbitspixel8\\wbmwidthbytes4 0102030405060708}", PictureKind::kBitmap,
       "\x01\x02", 45, 30, "[picture 1: Windows bitmap, 3 \u00D7 2 px]"},
  };
  for (const Row& row : rows) {
    const Document d = ReadDocument("{\\rtf1 a" + row.group + "b}");
    ASSERT_EQ(d.pictures.size(), 1u) << row.group;
    const Picture& picture = d.pictures[0];
    EXPECT_EQ(picture.kind, row.kind) << row.group;
    EXPECT_EQ(picture.bytes.substr(0, row.bytesStart.size()), row.bytesStart) << row.group;
    EXPECT_EQ(picture.widthTwips, row.widthTwips) << row.group;
    EXPECT_EQ(picture.heightTwips, row.heightTwips) << row.group;
    const auto& p = std::get<Paragraph>(d.blocks.at(0));
    ASSERT_EQ(p.inlines.size(), 3u) << row.group;
    EXPECT_EQ(p.inlines[1].kind, Inline::Kind::kPicture);
    EXPECT_EQ(PlainText(d), "a" + row.text + "b") << row.group;
  }
  EXPECT_EQ(Text("{\\rtf1 a{\\pict\\pngblip 00}{\\pict\\unknownblip 00}{\\v{\\pict\\pngblip 00}}{\\pict\\jpegblip 00}}"),
            "a[picture 1: PNG, 1 bytes][picture 2: JPEG, 1 bytes]");
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
      {"over-long bin", "{\\rtf1 a{\\pict\\pngblip\\bin999 xy", "a[picture 1: PNG, 2 bytes]"},
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
