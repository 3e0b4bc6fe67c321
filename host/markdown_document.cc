#include "host/markdown_document.h"

#include <algorithm>
#include <cstring>
#include <variant>

#include "host/markup_text.h"
#include "rtf/picture_format.h"

using rtf::Inline;

namespace {

// The pieces of markup around styled text, opened in this order and closed in reverse.
struct Emphasis {
  bool rtf::TextStyle::*flag;
  const char* open;
  const char* close;
};
constexpr Emphasis kEmphasis[] = {{&rtf::TextStyle::superscript, "<sup>", "</sup>"},
                                  {&rtf::TextStyle::subscript, "<sub>", "</sub>"},
                                  {&rtf::TextStyle::underline, "<u>", "</u>"},
                                  {&rtf::TextStyle::strike, "~~", "~~"},
                                  {&rtf::TextStyle::bold, "**", "**"},
                                  {&rtf::TextStyle::italic, "*", "*"}};

std::string Styled(const std::string& escaped, const rtf::TextStyle& style) {
  // Markers must touch the text: blanks at either end stay outside them.
  const size_t first = escaped.find_first_not_of(' ');
  if (first == std::string::npos) return escaped;
  const size_t last = escaped.find_last_not_of(' ');
  std::string open, close;
  for (const Emphasis& e : kEmphasis) {
    if (!(style.*e.flag)) continue;
    open += e.open;
    close.insert(0, e.close);
  }
  return escaped.substr(0, first) + open + escaped.substr(first, last - first + 1) + close + escaped.substr(last + 1);
}

std::string LinkTarget(const std::string& target) {
  std::string out = "<";
  for (const char c : ValidUtf8(target)) {
    if (c == '<' || c == '>' || c == '\\') out += '\\';
    if (c != '\n' && c != '\r') out += c;
  }
  return out + ">";
}

// The inline content of a paragraph; `lineBreak` continues a line inside its block.
std::string Inlines(const rtf::Document& document, const std::vector<Inline>& inlines, const std::string& lineBreak,
                    const std::function<std::string(size_t)>& pictureFile) {
  std::string out;
  bool atStart = true;
  for (size_t i = 0; i < inlines.size();) {
    const std::string& link = inlines[i].style.link;
    std::string span;
    size_t j = i;
    for (; j < inlines.size() && inlines[j].style.link == link; ++j) {
      const Inline& piece = inlines[j];
      switch (piece.kind) {
        case Inline::Kind::kText:
        {
          rtf::TextStyle style = piece.style;
          if (!link.empty()) style.underline = false;  // links are underlined by their application anyway
          span += Styled(EscapeMarkdown(ValidUtf8(piece.text), atStart && span.empty() && out.empty()), style);
        }
          break;
        case Inline::Kind::kLineBreak:
          span += lineBreak;
          break;
        case Inline::Kind::kTab:
          span += ' ';
          break;
        case Inline::Kind::kPicture: {
          // Pictures no viewer shows link to the file, named by their kind and size.
          const rtf::Picture& picture = document.pictures[piece.picture];
          const std::string label = rtf::FormatOf(picture.kind).displayed
                                        ? "![picture " + std::to_string(piece.picture + 1)
                                        : "[" + EscapeMarkdown(rtf::PictureLabel(picture, piece.picture), false);
          span += label + "](" + LinkTarget(pictureFile(piece.picture)) + ")";
          break;
        }
      }
    }
    out += link.empty() ? span : "[" + span + "](" + LinkTarget(link) + ")";
    atStart = false;
    i = j;
  }
  return out;
}

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

void AppendTable(const rtf::Document& document, const rtf::Table& table,
                 const std::function<std::string(size_t)>& pictureFile, std::string& out) {
  size_t columns = 0;
  for (const rtf::TableRow& row : table.rows) columns = std::max(columns, row.cells.size());
  if (columns == 0) return;
  for (size_t r = 0; r < table.rows.size(); ++r) {
    out += '|';
    for (size_t c = 0; c < columns; ++c) {
      std::string cell;
      if (c < table.rows[r].cells.size())
        for (const rtf::Paragraph& p : table.rows[r].cells[c].paragraphs) {
          const std::string text = Inlines(document, p.inlines, "<br>", pictureFile);
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

std::string EscapeMarkdown(const std::string& text, bool atLineStart) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  if (atLineStart) {
    size_t digits = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') ++digits;
    if (digits > 0 && digits < text.size() && (text[digits] == '.' || text[digits] == ')')) {
      out = text.substr(0, digits) + "\\" + text[digits];
      i = digits + 1;
    } else if (!text.empty() && std::strchr("#-+=>", text[0])) {
      out = std::string("\\") + text[0];
      i = 1;
    }
  }
  for (; i < text.size(); ++i) {
    if (std::strchr("\\`*_[]<>|~", text[i])) out += '\\';
    out += text[i];
  }
  return out;
}

std::string MarkdownBody(const rtf::Document& document, const std::function<std::string(size_t)>& pictureFile) {
  std::string out;
  bool previousWasListItem = false;
  for (const rtf::Block& block : document.blocks) {
    if (const auto* table = std::get_if<rtf::Table>(&block)) {
      if (!out.empty()) out += '\n';
      AppendTable(document, *table, pictureFile, out);
      previousWasListItem = false;
      continue;
    }
    const auto& p = std::get<rtf::Paragraph>(block);
    if (p.headingLevel > 0) {
      // The note's title is the "#" heading: "heading 1" ranks below it. A
      // heading is one line; a numbered heading keeps its number as text.
      std::string text = Inlines(document, p.inlines, " ", pictureFile);
      std::string marker = EscapeMarkdown(p.listMarker, false);
      std::replace(marker.begin(), marker.end(), '\t', ' ');
      text = marker + text;
      while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.pop_back();
      if (text.empty()) continue;
      if (text.back() == '#') text.insert(text.size() - 1, "\\");  // no closing sequence
      if (!out.empty()) out += '\n';
      out += std::string(static_cast<size_t>(std::min(6, p.headingLevel + 1)), '#') + " " + text + "\n";
      previousWasListItem = false;
      continue;
    }
    const bool listItem = p.list != rtf::ListKind::kNone;
    const std::string indent = listItem ? std::string(4 * static_cast<size_t>(p.listLevel), ' ') : "";
    std::string text = Inlines(document, p.inlines, "\\\n" + indent + (listItem ? "    " : ""), pictureFile);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.pop_back();  // two would break the line
    if (text.empty() && !listItem) continue;
    if (!out.empty() && !(listItem && previousWasListItem)) out += '\n';
    out += indent + (listItem ? ListPrefix(p) : "") + text + '\n';
    previousWasListItem = listItem;
  }
  return out;
}
