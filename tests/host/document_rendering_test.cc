// How what the RTF reader understands is shown in each format: HTML and
// Markdown from their renderers, and the plain text that text, JSON and OPML
// exports carry.
#include <gtest/gtest.h>

#include <string>

#include "host/html_document.h"
#include "host/markdown_document.h"
#include "rtf/picture_format.h"
#include "rtf/plain_text.h"
#include "rtf/rtf_reader.h"

namespace {

TEST(DocumentRenderingTest, EveryFormatShowsWhatTheRtfMeans) {
  const std::string headings = "{\\rtf1{\\stylesheet{Normal;}{\\s1 heading 1;}{\\s2\\outlinelevel1 Titre 2;}}";
  const std::string dib = "28000000010000000100000001001800000000000400000000000000000000000000000000000000" "0000ff00";
  const struct {
    const char* name;
    std::string rtf;
    std::string html, markdown, text;
  } rows[] = {
      {"superscript and subscript", "{\\rtf1 E=mc{\\super 2}, H{\\sub 2}O, 10{\\up6 q}}",
       "<p>E=mc<sup>2</sup>, H<sub>2</sub>O, 10<sup>q</sup></p>\n", "E=mc<sup>2</sup>, H<sub>2</sub>O, 10<sup>q</sup>\n",
       u8"E=mc², H₂O, 10^q"},
      {"raised and bold", "{\\rtf1 x{\\b\\super n}}", "<p>x<strong><sup>n</sup></strong></p>\n", "x<sup>**n**</sup>\n",
       u8"xⁿ"},
      {"headings by style", headings + "\\pard\\s1 Title\\par\\pard\\s2 Sub\\par\\pard Body\\par}",
       "<h2>Title</h2>\n<h3>Sub</h3>\n<p>Body</p>\n", "## Title\n\n### Sub\n\nBody\n", "Title\nSub\nBody"},
      {"numbered heading", "{\\rtf1{\\pntext 1.\\tab}\\outlinelevel0 Intro\\par}", "<h2>1. Intro</h2>\n", "## 1. Intro\n",
       "1.\tIntro"},
      {"heading ending in #", "{\\rtf1\\outlinelevel1 Learn C#\\par}", "<h3>Learn C#</h3>\n", "### Learn C\\#\n", "Learn C#"},
      {"alignment and direction", "{\\rtf1\\qc Centred\\par\\pard\\rtlpar\\qr \\u1513?\\u1500?\\par\\pard\\qj J\\par}",
       "<p style=\"text-align:center\">Centred</p>\n<p dir=\"rtl\" style=\"text-align:end\">\u05E9\u05DC</p>\n"
       "<p style=\"text-align:justify\">J</p>\n",
       "Centred\n\n\u05E9\u05DC\n\nJ\n", "Centred\n\u05E9\u05DC\nJ"},
      {"right-to-left run", "{\\rtf1 a {\\rtlch \\u1513?} b\\par\\rtlpar{\\rtlch \\u1513?}\\par}",
       "<p>a <span dir=\"rtl\">\u05E9</span> b</p>\n<p dir=\"rtl\">\u05E9</p>\n", "a \u05E9 b\n\n\u05E9\n", "a \u05E9 b\n\u05E9"},
      {"paragraphs in a cell", "{\\rtf1\\trowd\\intbl a\\par b\\cell\\qr 2\\cell\\row}",
       "<table>\n<tr><td>a<br>b</td><td style=\"text-align:end\">2</td></tr>\n</table>\n", "| a<br>b | 2 |\n| --- | --- |\n",
       "a\nb\t2"},
      {"Symbol bullet", "{\\rtf1{\\fonttbl{\\f1\\fcharset2 Symbol;}}{\\pntext\\f1 \\u-3913?\\tab}item\\par}",
       "<ul>\n<li>item</li>\n</ul>\n", "- item\n", u8"•\titem"},
      {"pictures shown and not", "{\\rtf1 {\\pict\\dibitmap0\\picwgoal300\\pichgoal150 " + dib +
       "}{\\pict\\emfblip\\picw2540\\pich1270 01000000}}",
       "<p><img src=\"data:image/bmp;base64,Qk06AAAAAAAAADYAAAAoAAAAAQAAAAEAAAABABgAAAAAAAQAAAAAAAAAAAAAAAAAAAAAAAAAAAD/AA==\" "
       "alt=\"picture 1\" width=\"20\" height=\"10\"><span class=\"picture-placeholder\" "
       "style=\"display:inline-block;border:1px dashed #888;padding:.3em .6em\">picture 2: EMF, 96 \u00D7 48 px</span> "
       "<a download=\"picture 2.emf\" href=\"data:image/emf;base64,AQAAAA==\">download</a></p>\n",
       "![picture 1](p-1.bmp)[picture 2: EMF, 96 \u00D7 48 px](p-2.emf)\n",
       "[picture 1: BMP, 20 \u00D7 10 px][picture 2: EMF, 96 \u00D7 48 px]"},
  };
  for (const auto& row : rows) {
    const rtf::Document document = rtf::ReadDocument(row.rtf);
    EXPECT_EQ(HtmlBody(document), row.html) << row.name;
    const auto pictureFile = [&](size_t i) {
      return "p-" + std::to_string(i + 1) + "." + rtf::FormatOf(document.pictures[i].kind).extension;
    };
    EXPECT_EQ(MarkdownBody(document, pictureFile), row.markdown) << row.name;
    EXPECT_EQ(rtf::PlainText(document), row.text) << row.name;
  }
  // Headings rank below the heading of the section that holds the content.
  EXPECT_EQ(HtmlBody(rtf::ReadDocument(headings + "\\pard\\s1 T\\par\\pard\\s2 U\\par}"), 4), "<h5>T</h5>\n<h6>U</h6>\n");
  EXPECT_EQ(HtmlBody(rtf::ReadDocument(headings + "\\pard\\s2 U\\par}"), 5), "<h6>U</h6>\n");
}

}  // namespace
