#include "rtf/document_builder.h"

#include <utility>

namespace rtf {

void DocumentBuilder::AddText(std::string_view utf8, const TextStyle& style) {
  if (utf8.empty()) return;
  std::vector<Inline>& inlines = paragraph_.inlines;
  if (!inlines.empty() && inlines.back().kind == Inline::Kind::kText && inlines.back().style == style) {
    inlines.back().text.append(utf8);
    return;
  }
  Inline piece;
  piece.text.assign(utf8);
  piece.style = style;
  inlines.push_back(std::move(piece));
}

void DocumentBuilder::AddLineBreak() {
  Inline piece;
  piece.kind = Inline::Kind::kLineBreak;
  paragraph_.inlines.push_back(std::move(piece));
}

void DocumentBuilder::AddTab() {
  Inline piece;
  piece.kind = Inline::Kind::kTab;
  paragraph_.inlines.push_back(std::move(piece));
}

void DocumentBuilder::AddPicture(Picture picture, const TextStyle& style) {
  Inline piece;
  piece.kind = Inline::Kind::kPicture;
  piece.style = style;
  piece.picture = document_.pictures.size();
  document_.pictures.push_back(std::move(picture));
  paragraph_.inlines.push_back(std::move(piece));
}

void DocumentBuilder::AddListMarker(std::string_view utf8) {
  paragraph_.listMarker.append(utf8);
  if (paragraph_.list == ListKind::kNone) paragraph_.list = ListKind::kBullet;
}

void DocumentBuilder::EndParagraph(bool inTable) {
  // A marker that holds a digit or is a letter before "." or ")" numbers its item.
  if (paragraph_.list != ListKind::kNone) {
    const std::string& m = paragraph_.listMarker;
    bool number = false;
    for (size_t i = 0; i < m.size(); ++i) {
      const char c = m[i];
      if (c >= '0' && c <= '9') number = true;
      if (((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) && i + 1 < m.size() && (m[i + 1] == '.' || m[i + 1] == ')'))
        number = true;
    }
    paragraph_.list = number ? ListKind::kNumber : ListKind::kBullet;
  }
  if (inTable) {
    cell_.paragraphs.push_back(std::move(paragraph_));
  } else {
    CloseTable();
    document_.blocks.emplace_back(std::move(paragraph_));
  }
  paragraph_ = Paragraph{};
}

void DocumentBuilder::EndCell() {
  if (!ParagraphEmpty() || cell_.paragraphs.empty()) EndParagraph(true);
  row_.cells.push_back(std::move(cell_));
  cell_ = TableCell{};
}

void DocumentBuilder::EndRow() {
  if (!ParagraphEmpty() || !cell_.paragraphs.empty()) EndCell();
  if (!tableOpen_) {
    table_ = Table{};
    tableOpen_ = true;
  }
  table_.rows.push_back(std::move(row_));
  row_ = TableRow{};
}

void DocumentBuilder::CloseTable() {
  if (!row_.cells.empty() || !cell_.paragraphs.empty()) EndRow();
  if (!tableOpen_) return;
  document_.blocks.emplace_back(std::move(table_));
  table_ = Table{};
  tableOpen_ = false;
}

Document DocumentBuilder::Take() {
  if (!ParagraphEmpty()) EndParagraph(!cell_.paragraphs.empty() || !row_.cells.empty());
  CloseTable();
  Document done = std::move(document_);
  *this = DocumentBuilder{};
  return done;
}

}  // namespace rtf
