#include "host/html_document.h"

#include <algorithm>
#include <variant>
#include <vector>

#include "host/link_target.h"
#include "host/markup_text.h"
#include "rtf/picture_format.h"

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
                                   {&rtf::TextStyle::strike, "<s>", "</s>"},
                                   {&rtf::TextStyle::superscript, "<sup>", "</sup>"},
                                   {&rtf::TextStyle::subscript, "<sub>", "</sub>"},
                                   {&rtf::TextStyle::rightToLeft, "<span dir=\"rtl\">", "</span>"}};

// A picture shown where browsers can; any other a visible box with its kind
// and size, beside a link that downloads it as stored.
std::string PictureHtml(const rtf::Picture& picture, size_t index) {
  const rtf::PictureFormat& format = rtf::FormatOf(picture.kind);
  const std::string label = "picture " + std::to_string(index + 1);
  const std::string uri = std::string("data:") + format.mediaType + ";base64," + Base64(picture.bytes);
  if (!format.displayed)
    return "<span class=\"picture-placeholder\" style=\"display:inline-block;border:1px dashed #888;padding:.3em .6em\">" +
           EscapeMarkup(rtf::PictureLabel(picture, index), false) + "</span> <a download=\"" + label + "." +
           format.extension + "\" href=\"" + uri + "\">download</a>";
  std::string img = "<img src=\"" + uri + "\" alt=\"" + label + "\"";
  // 1440 twips an inch, 96 CSS pixels an inch.
  if (picture.widthTwips > 0 && picture.heightTwips > 0)
    img += " width=\"" + std::to_string(std::max(1, picture.widthTwips / 15)) + "\" height=\"" +
           std::to_string(std::max(1, picture.heightTwips / 15)) + "\"";
  return img + ">";
}

// ` dir="rtl"` and the alignment of a paragraph, as attributes of its element.
std::string LayoutAttributes(const rtf::Paragraph& p) {
  static const char* const kAlignments[] = {"", "center", "end", "justify"};
  std::string out = p.rightToLeft ? " dir=\"rtl\"" : "";
  const char* align = kAlignments[static_cast<int>(p.alignment)];
  if (*align) out += std::string(" style=\"text-align:") + align + "\"";
  return out;
}

// `paragraphRightToLeft`: right-to-left runs are marked only inside left-to-right paragraphs.
std::string Inlines(const rtf::Document& document, const std::vector<Inline>& inlines, bool paragraphRightToLeft) {
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
            if (piece.style.*t.flag && !(t.flag == &rtf::TextStyle::underline && !href.empty()) &&
                !(t.flag == &rtf::TextStyle::rightToLeft && paragraphRightToLeft)) {
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

std::string HtmlBody(const rtf::Document& document, int outerHeading) {
  std::string out;
  ListNesting lists;
  for (const rtf::Block& block : document.blocks) {
    const auto* paragraph = std::get_if<rtf::Paragraph>(&block);
    if (paragraph && paragraph->list != rtf::ListKind::kNone && paragraph->headingLevel == 0) {
      lists.Item(*paragraph, out);
      out += Inlines(document, paragraph->inlines, paragraph->rightToLeft);
      continue;
    }
    lists.CloseAll(out);
    if (paragraph && paragraph->headingLevel > 0) {
      // A numbered heading keeps its number as text.
      std::string marker = EscapeMarkup(paragraph->listMarker, false);
      std::replace(marker.begin(), marker.end(), '\t', ' ');
      const std::string tag = "h" + std::to_string(std::min(6, outerHeading + paragraph->headingLevel));
      out += "<" + tag + LayoutAttributes(*paragraph) + ">" + marker +
             Inlines(document, paragraph->inlines, paragraph->rightToLeft) + "</" + tag + ">\n";
      continue;
    }
    if (paragraph) {
      const std::string text = Inlines(document, paragraph->inlines, paragraph->rightToLeft);
      out += "<p" + LayoutAttributes(*paragraph) + ">" + (text.empty() ? "<br>" : text) + "</p>\n";
      continue;
    }
    out += "<table>\n";
    for (const rtf::TableRow& row : std::get<rtf::Table>(block).rows) {
      out += "<tr>";
      for (const rtf::TableCell& cell : row.cells) {
        // A cell takes the layout of its first paragraph.
        out += "<td" + (cell.paragraphs.empty() ? std::string() : LayoutAttributes(cell.paragraphs[0])) + ">";
        for (size_t i = 0; i < cell.paragraphs.size(); ++i) {
          if (i > 0) out += "<br>";
          out += Inlines(document, cell.paragraphs[i].inlines, cell.paragraphs[i].rightToLeft);
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
