#include "rtf/plain_text.h"

#include <variant>

#include "rtf/picture_format.h"
#include "rtf/rtf_reader.h"
#include "rtf/script_text.h"

namespace rtf {
namespace {

// A row's cells joined by tabs; paragraphs and line breaks in a cell are line
// breaks within its text, as in the other formats.
void AppendRow(const Document& document, const TableRow& row, std::string& out) {
  for (size_t c = 0; c < row.cells.size(); ++c) {
    if (c > 0) out += '\t';
    const auto& paragraphs = row.cells[c].paragraphs;
    for (size_t p = 0; p < paragraphs.size(); ++p) {
      if (p > 0) out += '\n';
      out += ParagraphText(document, paragraphs[p]);
    }
  }
}

// Removes blanks before each line end and empty lines at the end.
std::string TrimLines(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    size_t last = end;
    while (last > start && (text[last - 1] == ' ' || text[last - 1] == '\t' || text[last - 1] == '\r')) --last;
    out.append(text, start, last - start);
    out += '\n';
    start = end + 1;
  }
  while (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

}  // namespace

std::string ParagraphText(const Document& document, const Paragraph& paragraph) {
  std::string out = paragraph.listMarker;
  const auto& inlines = paragraph.inlines;
  for (size_t i = 0; i < inlines.size(); ++i) {
    const Inline& piece = inlines[i];
    switch (piece.kind) {
      case Inline::Kind::kText: {
        const bool up = piece.style.superscript, down = piece.style.subscript;
        if (!up && !down) {
          out += piece.text;
          break;
        }
        // A raised run may span pieces of other styles: "x{\\super n}{\\super\\b +1}" is "xⁿ⁺¹".
        std::string run = piece.text;
        while (i + 1 < inlines.size() && inlines[i + 1].kind == Inline::Kind::kText &&
               inlines[i + 1].style.superscript == up && inlines[i + 1].style.subscript == down)
          run += inlines[++i].text;
        out += ScriptText(run, up);
        break;
      }
      case Inline::Kind::kLineBreak:
        out += '\n';
        break;
      case Inline::Kind::kTab:
        out += '\t';
        break;
      case Inline::Kind::kPicture:
        if (piece.picture < document.pictures.size())
          out += "[" + PictureLabel(document.pictures[piece.picture], piece.picture) + "]";
        break;
    }
  }
  return out;
}

std::string ContentText(std::string_view content) {
  return PlainText(ReadDocument(content));
}

std::string PlainText(const Document& document) {
  std::string text;
  for (const Block& block : document.blocks) {
    if (const auto* paragraph = std::get_if<Paragraph>(&block)) {
      text += ParagraphText(document, *paragraph);
      text += '\n';
    } else {
      for (const TableRow& row : std::get<Table>(block).rows) {
        AppendRow(document, row, text);
        text += '\n';
      }
    }
  }
  return TrimLines(text);
}

}  // namespace rtf
