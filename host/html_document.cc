#include "host/html_document.h"

#include <algorithm>
#include <variant>
#include <vector>

#include "host/link_target.h"
#include "host/markup_text.h"

using rtf::Inline;

namespace {

struct StyleTag {
  bool rtf::TextStyle::*flag;
  const char* open;
  const char* close;
};
constexpr StyleTag kStyleTags[] = {{&rtf::TextStyle::bold, "<strong>", "</strong>"},
                                   {&rtf::TextStyle::italic, "<em>", "</em>"},
                                   {&rtf::TextStyle::underline, "<u>", "</u>"},
                                   {&rtf::TextStyle::strike, "<s>", "</s>"}};

struct PictureType {
  rtf::PictureKind kind;
  const char* mime;
  const char* extension;
  bool shown;  // browsers display it in <img>
};
constexpr PictureType kPictureTypes[] = {{rtf::PictureKind::kPng, "image/png", "png", true},
                                         {rtf::PictureKind::kJpeg, "image/jpeg", "jpg", true},
                                         {rtf::PictureKind::kEmf, "image/emf", "emf", false},
                                         {rtf::PictureKind::kWmf, "image/wmf", "wmf", false}};

std::string PictureHtml(const rtf::Picture& picture, size_t index) {
  const PictureType* type = &kPictureTypes[0];
  for (const PictureType& t : kPictureTypes)
    if (t.kind == picture.kind) type = &t;
  const std::string label = "picture " + std::to_string(index + 1);
  const std::string uri = std::string("data:") + type->mime + ";base64," + Base64(picture.bytes);
  if (!type->shown)
    return "<a download=\"" + label + "." + type->extension + "\" href=\"" + uri + "\">" + label + " (" +
           type->extension + ")</a>";
  std::string img = "<img src=\"" + uri + "\" alt=\"" + label + "\"";
  // 1440 twips an inch, 96 CSS pixels an inch.
  if (picture.widthTwips > 0 && picture.heightTwips > 0)
    img += " width=\"" + std::to_string(std::max(1, picture.widthTwips / 15)) + "\" height=\"" +
           std::to_string(std::max(1, picture.heightTwips / 15)) + "\"";
  return img + ">";
}

std::string Inlines(const rtf::Document& document, const std::vector<Inline>& inlines) {
  std::string out;
  for (size_t i = 0; i < inlines.size();) {
    const std::string& link = inlines[i].style.link;
    const std::string href = link.empty() ? "" : SafeHref(link);
    if (!href.empty()) out += "<a href=\"" + EscapeMarkup(href, true) + "\">";
    size_t j = i;
    for (; j < inlines.size() && inlines[j].style.link == link; ++j) {
      const Inline& piece = inlines[j];
      switch (piece.kind) {
        case Inline::Kind::kText: {
          std::string open, close;
          for (const StyleTag& t : kStyleTags)
            if (piece.style.*t.flag && !(t.flag == &rtf::TextStyle::underline && !href.empty())) {
              open += t.open;
              close.insert(0, t.close);
            }
          out += open + EscapeMarkup(piece.text, false) + close;
          break;
        }
        case Inline::Kind::kLineBreak:
          out += "<br>";
          break;
        case Inline::Kind::kTab:
          out += "\t";
          break;
        case Inline::Kind::kPicture:
          out += PictureHtml(document.pictures[piece.picture], piece.picture);
          break;
      }
    }
    if (!href.empty()) out += "</a>";
    i = j;
  }
  return out;
}

// Open lists while list paragraphs follow one another: each entry the tag
// ("ul" or "ol") of one nesting level; the innermost list item is open.
class ListNesting {
 public:
  void Item(const rtf::Paragraph& p, std::string& out) {
    const size_t level = static_cast<size_t>(p.listLevel);
    const char* tag = p.list == rtf::ListKind::kNumber ? "ol" : "ul";
    while (open_.size() > level + 1) CloseOne(out);
    if (open_.size() == level + 1 && open_.back() != tag) CloseOne(out);
    if (open_.size() == level + 1) {
      out += "</li>\n<li>";
      return;
    }
    out += "<" + std::string(tag) + ">\n<li>";
    open_.push_back(tag);
  }
  void CloseAll(std::string& out) {
    while (!open_.empty()) CloseOne(out);
  }

 private:
  void CloseOne(std::string& out) {
    out += "</li>\n</" + open_.back() + ">";
    open_.pop_back();
    out += "\n";
  }
  std::vector<std::string> open_;
};

}  // namespace

std::string HtmlBody(const rtf::Document& document) {
  std::string out;
  ListNesting lists;
  for (const rtf::Block& block : document.blocks) {
    if (const auto* paragraph = std::get_if<rtf::Paragraph>(&block); paragraph && paragraph->list != rtf::ListKind::kNone) {
      lists.Item(*paragraph, out);
      out += Inlines(document, paragraph->inlines);
      continue;
    }
    lists.CloseAll(out);
    if (const auto* paragraph = std::get_if<rtf::Paragraph>(&block)) {
      const std::string text = Inlines(document, paragraph->inlines);
      out += text.empty() ? "<p><br></p>\n" : "<p>" + text + "</p>\n";
      continue;
    }
    out += "<table>\n";
    for (const rtf::TableRow& row : std::get<rtf::Table>(block).rows) {
      out += "<tr>";
      for (const rtf::TableCell& cell : row.cells) {
        out += "<td>";
        for (size_t i = 0; i < cell.paragraphs.size(); ++i) {
          if (i > 0) out += "<br>";
          out += Inlines(document, cell.paragraphs[i].inlines);
        }
        out += "</td>";
      }
      out += "</tr>\n";
    }
    out += "</table>\n";
  }
  lists.CloseAll(out);
  return out;
}
