#include "host/json_export.h"

#include <nlohmann/json.hpp>

#include "host/markup_text.h"
#include "rtf/plain_text.h"

void WriteJsonExport(std::ostream& out, const ExportInput& input) {
  nlohmann::ordered_json array = nlohmann::ordered_json::array();
  for (const DocumentNode& node : input.tree.nodes) {
    const ImportedDocument& d = *node.document;
    array.push_back({{"level", d.level}, {"title", d.title}, {"content", d.content}, {"text", ReadableText(rtf::ContentText(d.content))}});
    input.documentDone();
  }
  out << array.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
}
