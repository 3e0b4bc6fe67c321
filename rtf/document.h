// The document model the RTF reader produces: a sequence of blocks, each a
// paragraph or a table. Plain values in standard containers; a Document owns
// everything it holds, pictures included.
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
  std::string link;  // hyperlink target; empty when the text is no link

  bool operator==(const TextStyle& o) const {
    return bold == o.bold && italic == o.italic && underline == o.underline && strike == o.strike && link == o.link;
  }
  bool operator!=(const TextStyle& o) const { return !(*this == o); }
};

enum class PictureKind { kPng, kJpeg, kEmf, kWmf };

struct Picture {
  PictureKind kind = PictureKind::kPng;
  std::string bytes;          // the image file's bytes as stored
  int32_t widthTwips = 0;     // shown size (\picwgoal scaled by \picscalex), 0 when unknown
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

struct Paragraph {
  std::vector<Inline> inlines;
  ListKind list = ListKind::kNone;
  int32_t listLevel = 0;   // 0 for the outermost list level
  std::string listMarker;  // the marker as written ("•\t", "1.\t"), UTF-8
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
