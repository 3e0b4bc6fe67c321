#include "host/html_export.h"

#include <algorithm>

#include "host/displayed_pictures.h"
#include "host/html_document.h"
#include "host/html_page_script.h"
#include "host/json_string.h"
#include "host/markup_text.h"
#include "rtf/rtf_reader.h"

namespace {

const char kStyle[] =
    "body{font-family:sans-serif;max-width:60em;margin:1em auto;padding:0 1em;line-height:1.4;overflow-wrap:anywhere}"
    "details{margin:.3em 0 .3em 1.2em}details>summary{cursor:pointer}"
    "summary>h2,summary>h3,summary>h4,summary>h5,summary>h6{display:inline;margin:0}"
    "table{border-collapse:collapse}td{border:1px solid #999;padding:.2em .5em}"
    "nav ul{padding-left:1.2em}nav details{margin:0}nav li{list-style:none}nav summary{list-style-position:outside}"
    "button.more{margin:.3em 0 .3em 1.2em}";

// `heading`: the level of the section's own heading. Content that is not RTF
// is read as text, one paragraph a line, like every other export reads it.
std::string Content(const std::string& content, int heading) {
  rtf::Document document = rtf::ReadDocument(content);
  ConvertPicturesForDisplay(document);
  return HtmlBody(document, heading);
}

// A document's entry in the outline's JSON, [depth, position, title], for a
// <script> element: "<" escaped, so that no "</script" can end it.
std::string OutlineEntryJson(const OutlinePlace& place, const std::string& title) {
  return "[" + std::to_string(place.depth) + "," + JsonQuoted(place.position, "<") + "," + JsonQuoted(title, "<") +
         "]";
}


}  // namespace

HtmlExportWriter::HtmlExportWriter(std::ostream& out, const std::string& title) : out_(out) {
  const std::string shown = EscapeMarkup(title, false);
  out_ << "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>" << shown
       << "</title>\n<style>" << kStyle << "</style>\n</head>\n<body>\n<h1>" << shown << "</h1>\n"
       << "<nav id=\"contents\" hidden>\n<h2>Contents</h2>\n</nav>\n<main id=\"documents\"></main>\n";
}

void HtmlExportWriter::Write(const ImportedDocument& document, const OutlinePlace& place) {
  if (chunkDocuments_ == 0) out_ << "<noscript class=\"documents\">\n";
  const std::string title = ShownTitle(document.title);
  const int level = static_cast<int>(std::min<size_t>(place.depth + 2, 6));
  const std::string heading = "h" + std::to_string(level);
  const std::string content = Content(document.content, level);
  out_ << "<section id=\"d" << place.position << "\" data-depth=\"" << place.depth << "\"><" << heading << ">"
       << EscapeMarkup(title, false) << "</" << heading << ">\n";
  if (!content.empty()) out_ << "<div class=\"content\">\n" << content << "</div>\n";
  out_ << "</section>\n";

  if (chunkDocuments_ > 0) outline_ += ',';
  outline_ += OutlineEntryJson(place, title);
  ++chunkDocuments_;
  chunkBytes_ += content.size();
  if (chunkDocuments_ == kChunkDocuments || chunkBytes_ >= kChunkBytes) EndChunk();
}

void HtmlExportWriter::EndChunk() {
  if (chunkDocuments_ == 0) return;
  out_ << "</noscript>\n<script type=\"application/json\" class=\"outline\">[" << outline_ << "]</script>\n";
  outline_.clear();
  chunkDocuments_ = 0;
  chunkBytes_ = 0;
}

void HtmlExportWriter::Finish() {
  EndChunk();
  out_ << "<script>\n" << kHtmlPageScript << "</script>\n</body>\n</html>\n";
}
