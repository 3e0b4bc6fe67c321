#include "host/json_export.h"

#include <nlohmann/json.hpp>

#include "host/markup_text.h"
#include "rtf/plain_text.h"

namespace {

// A JSON string as nlohmann writes it in the import's array (invalid UTF-8
// as U+FFFD).
std::string Quoted(const std::string& text) {
  return nlohmann::json(text).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace

void JsonExportWriter::Write(const ImportedDocument& document, const OutlinePlace&) {
  out_ << (first_ ? "[\n" : ",\n") << "  {\n    \"level\": " << document.level << ",\n    \"title\": "
       << Quoted(document.title) << ",\n    \"content\": " << Quoted(document.content)
       << ",\n    \"text\": " << Quoted(ReadableText(rtf::ContentText(document.content))) << "\n  }";
  first_ = false;
}

void JsonExportWriter::Finish() { out_ << (first_ ? "[]\n" : "\n]\n"); }
