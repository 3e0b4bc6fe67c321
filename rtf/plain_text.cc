#include "rtf/plain_text.h"

#include <variant>

#include "rtf/rtf_reader.h"

namespace rtf {
namespace {

void AppendRow(const TableRow& row, std::string& out) {
  for (size_t c = 0; c < row.cells.size(); ++c) {
    if (c > 0) out += '\t';
    const auto& paragraphs = row.cells[c].paragraphs;
    for (size_t p = 0; p < paragraphs.size(); ++p) {
      std::string text = ParagraphText(paragraphs[p]);
      for (char& ch : text)
        if (ch == '\n') ch = ' ';  // a cell stays on its row's line
      if (p > 0 && !text.empty()) out += ' ';
      out += text;
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

std::string ParagraphText(const Paragraph& paragraph) {
  std::string out = paragraph.listMarker;
  for (const Inline& piece : paragraph.inlines) {
    switch (piece.kind) {
      case Inline::Kind::kText:
        out += piece.text;
        break;
      case Inline::Kind::kLineBreak:
        out += '\n';
        break;
      case Inline::Kind::kTab:
        out += '\t';
        break;
      case Inline::Kind::kPicture:
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
      text += ParagraphText(*paragraph);
      text += '\n';
    } else {
      for (const TableRow& row : std::get<Table>(block).rows) {
        AppendRow(row, text);
        text += '\n';
      }
    }
  }
  return TrimLines(text);
}

}  // namespace rtf
