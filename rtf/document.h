// The document model the RTF reader produces: a sequence of blocks, each a
// paragraph or a table. Plain values in standard containers; a Document owns
// everything it holds, pictures included.
//
// Everything the reader understands of the RTF is decided here once (which
// paragraph is a heading, which text is superscript, how a picture is
// stored); each export format only chooses how to show it.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace rtf {

struct TextStyle {
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strike = false;
  bool superscript = false;  // never both superscript and subscript
  bool subscript = false;
  bool rightToLeft = false;  // \rtlch: right-to-left characters
  std::string link;          // hyperlink target; empty when the text is no link

  bool operator==(const TextStyle& o) const {
    return bold == o.bold && italic == o.italic && underline == o.underline && strike == o.strike &&
           superscript == o.superscript && subscript == o.subscript && rightToLeft == o.rightToLeft && link == o.link;
  }
  bool operator!=(const TextStyle& o) const { return !(*this == o); }
};

// kBmp: a complete BMP file, made by the reader from a Windows bitmap
// (\dibitmap, \wbitmap). kBitmap: such a bitmap as stored, when its layout is
// one no BMP file holds.
enum class PictureKind { kPng, kJpeg, kEmf, kWmf, kBmp, kBitmap };

struct Picture {
  PictureKind kind = PictureKind::kPng;
  std::string bytes;          // the image file's bytes
  int32_t widthTwips = 0;     // shown size (\picwgoal scaled by \picscalex, else \picw), 0 when unknown
  int32_t heightTwips = 0;
};

// One piece of a paragraph: styled text, a line break, a tab, or a picture.
struct Inline {
  enum class Kind { kText, kLineBreak, kTab, kPicture };
  Kind kind = Kind::kText;
  std::string text;     // kText: UTF-8, never empty
  TextStyle style;      // kText and kPicture (a picture may be a link)
  size_t picture = 0;   // kPicture: index into Document::pictures
};

enum class ListKind { kNone, kBullet, kNumber };

// Alignment is logical, as RTF writes it: in a right-to-left paragraph \ql is
// the right edge (kStart) and \qr the left (kEnd).
enum class Alignment { kStart, kCenter, kEnd, kJustify };

struct Paragraph {
  std::vector<Inline> inlines;
  ListKind list = ListKind::kNone;
  int32_t listLevel = 0;   // 0 for the outermost list level
  std::string listMarker;  // the marker as written ("•\t", "1.\t"), UTF-8
  int32_t headingLevel = 0;  // 1 to 9 for a "heading N" paragraph (\outlinelevel N-1); 0 for others
  Alignment alignment = Alignment::kStart;
  bool rightToLeft = false;  // \rtlpar
};

struct TableCell {
  std::vector<Paragraph> paragraphs;
};
struct TableRow {
  std::vector<TableCell> cells;
};
struct Table {
  std::vector<TableRow> rows;
};

using Block = std::variant<Paragraph, Table>;

struct Document {
  std::vector<Block> blocks;
  std::vector<Picture> pictures;
};

}  // namespace rtf
