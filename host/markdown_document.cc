#include "host/markdown_document.h"

#include <algorithm>
#include <variant>
#include <vector>

#include "host/markdown_escape.h"
#include "host/markdown_inlines.h"
#include "rtf/picture_format.h"

namespace {

std::string ListPrefix(const rtf::Paragraph& p) {
  if (p.list == rtf::ListKind::kNumber) {
    std::string digits;
    for (const char c : p.listMarker) {
      if (c < '0' || c > '9') break;
      digits += c;
    }
    return (digits.empty() || digits.size() > 9 ? "1" : digits) + ". ";
  }
  return "- ";
}

// Shown pictures as images, the others as links to their files.
MarkdownInlineContext InlineContext(const rtf::Document& document, const std::function<std::string(size_t)>& pictureFile,
                                    std::string lineBreak) {
  MarkdownInlineContext context;
  context.lineBreak = std::move(lineBreak);
  context.picture = [&document, &pictureFile](size_t i) {
    const rtf::Picture& picture = document.pictures[i];
    const std::string label = rtf::FormatOf(picture.kind).displayed
                                  ? "![picture " + std::to_string(i + 1)
                                  : "[" + EscapeMarkdownText(rtf::PictureLabel(picture, i));
    return label + "](" + MarkdownFilePath(pictureFile(i)) + ")";
  };
  return context;
}

// Where list items go: each open list level's indent and the column its
// items' text starts at, so that a nested item is indented under its parent's
// text (CommonMark nests by that column, not by a fixed width).
class ListLayout {
 public:
  struct Item {
    std::string indent;  // before the marker
    std::string prefix;  // the marker and its blank
    bool blankLineBefore;
  };

  Item Next(const rtf::Paragraph& p) {
    const int32_t level = p.listLevel;
    const bool afterItem = !open_.empty();
    while (!open_.empty() && open_.back().level > level) open_.pop_back();
    size_t indent = 0;
    bool sameList = false;
    if (!open_.empty() && open_.back().level == level) {
      indent = open_.back().indent;
      sameList = open_.back().kind == p.list;
      open_.pop_back();
    } else if (!open_.empty()) {
      indent = open_.back().textColumn;
    }
    const std::string prefix = ListPrefix(p);
    open_.push_back({level, p.list, indent, indent + prefix.size()});
    // A new numbered list that does not start at 1 cannot interrupt the
    // text of the item before it: a blank line ends that text first.
    const bool blank = afterItem && !sameList && p.list == rtf::ListKind::kNumber && prefix != "1. ";
    return {std::string(indent, ' '), prefix, blank};
  }
  std::string ContinuationIndent() const { return std::string(open_.empty() ? 0 : open_.back().textColumn, ' '); }
  void End() { open_.clear(); }

 private:
  struct Level {
    int32_t level;
    rtf::ListKind kind;
    size_t indent, textColumn;
  };
  std::vector<Level> open_;
};

void AppendTable(const rtf::Document& document, const rtf::Table& table,
                 const std::function<std::string(size_t)>& pictureFile, std::string& out) {
  const MarkdownInlineContext context = InlineContext(document, pictureFile, "<br>");
  size_t columns = 0;
  for (const rtf::TableRow& row : table.rows) columns = std::max(columns, row.cells.size());
  if (columns == 0) return;
  for (size_t r = 0; r < table.rows.size(); ++r) {
    out += '|';
    // Only the header row needs every column (GFM fills shorter rows in), so
    // the output stays as large as the table's cells, however ragged.
    for (size_t c = 0; c < (r == 0 ? columns : table.rows[r].cells.size()); ++c) {
      std::string cell;
      if (c < table.rows[r].cells.size())
        for (const rtf::Paragraph& p : table.rows[r].cells[c].paragraphs) {
          const std::string text = MarkdownInlines(p.inlines, context);
          if (!cell.empty() && !text.empty()) cell += "<br>";
          cell += text;
        }
      out += ' ' + cell + " |";
    }
    out += '\n';
    if (r == 0) {
      out += '|';
      for (size_t c = 0; c < columns; ++c) out += " --- |";
      out += '\n';
    }
  }
}

}  // namespace

std::string MarkdownBody(const rtf::Document& document, const std::function<std::string(size_t)>& pictureFile) {
  std::string out;
  ListLayout lists;
  bool afterItem = false;
  MarkdownInlineContext context = InlineContext(document, pictureFile, "\\\n");
  for (const rtf::Block& block : document.blocks) {
    if (const auto* table = std::get_if<rtf::Table>(&block)) {
      if (!out.empty()) out += '\n';
      AppendTable(document, *table, pictureFile, out);
      lists.End();
      afterItem = false;
      continue;
    }
    const auto& p = std::get<rtf::Paragraph>(block);
    if (p.headingLevel > 0) {
      // The note's title is the "#" heading: "heading 1" ranks below it. A
      // heading is one line; a numbered heading keeps its number as text.
      context.lineBreak = " ";
      std::string marker = EscapeMarkdownText(p.listMarker);
      std::replace(marker.begin(), marker.end(), '\t', ' ');
      const std::string text = MarkdownInlines(p.inlines, context);
      if (text.empty() && marker.find_first_not_of(' ') == std::string::npos) continue;
      if (!out.empty()) out += '\n';
      out += std::string(static_cast<size_t>(std::min(6, p.headingLevel + 1)), '#') + " " + marker + text + '\n';
      lists.End();
      afterItem = false;
      continue;
    }
    if (p.list == rtf::ListKind::kNone) {
      context.lineBreak = "\\\n";
      const std::string text = MarkdownInlines(p.inlines, context);
      if (text.empty()) continue;
      if (!out.empty()) out += '\n';
      out += text + '\n';
      lists.End();
      afterItem = false;
      continue;
    }
    const ListLayout::Item item = lists.Next(p);
    context.lineBreak = "\\\n" + lists.ContinuationIndent();
    std::string text = MarkdownInlines(p.inlines, context);
    // A blank item could not follow an item's text (a lone "-" there
    // underlines it as a heading); a no-break space keeps it an item.
    if (text.empty()) text = "&nbsp;";
    if (!out.empty() && (!afterItem || item.blankLineBefore)) out += '\n';
    out += item.indent + item.prefix + text + '\n';
    afterItem = true;
  }
  return out;
}
