// DocumentBuilder: collects what the reader finds, in reading order, into a
// Document. The reader owns one builder per document; Take() hands the
// finished document over and leaves the builder empty.
#pragma once

#include <string>
#include <string_view>

#include "rtf/document.h"

namespace rtf {

class DocumentBuilder {
 public:
  void AddText(std::string_view utf8, const TextStyle& style);
  void AddLineBreak();
  void AddTab();
  void AddPicture(Picture picture, const TextStyle& style);
  void AddListMarker(std::string_view utf8);
  void SetListLevel(int32_t level) { paragraph_.listLevel = level < 0 ? 0 : level; }
  void SetLayout(int32_t headingLevel, Alignment alignment, bool rightToLeft) {
    paragraph_.headingLevel = headingLevel;
    paragraph_.alignment = alignment;
    paragraph_.rightToLeft = rightToLeft;
  }

  // Ends the current paragraph; inside a table it goes to the current cell.
  void EndParagraph(bool inTable);
  void EndCell();
  void EndRow();

  // Ends whatever is open and returns the document.
  Document Take();

 private:
  void CloseTable();
  bool ParagraphEmpty() const { return paragraph_.inlines.empty() && paragraph_.listMarker.empty(); }

  Document document_;
  Paragraph paragraph_;
  TableRow row_;         // cells of the row being read
  TableCell cell_;       // paragraphs of the cell being read
  Table table_;          // rows of the table being read
  bool tableOpen_ = false;
};

}  // namespace rtf
