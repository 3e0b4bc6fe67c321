#include "host/json_export.h"

#include "host/json_string.h"
#include "host/markup_text.h"
#include "rtf/plain_text.h"

void JsonExportWriter::Write(const ImportedDocument& document, const OutlinePlace&) {
  out_ << (first_ ? "[\n" : ",\n") << "  {\n    \"level\": " << document.level << ",\n    \"title\": "
       << JsonQuoted(document.title) << ",\n    \"content\": " << JsonQuoted(document.content)
       << ",\n    \"text\": " << JsonQuoted(ReadableText(rtf::ContentText(document.content))) << "\n  }";
  first_ = false;
}

void JsonExportWriter::Finish() { out_ << (first_ ? "[]\n" : "\n]\n"); }
