#include "host/outline_output.h"

#include <algorithm>
#include <nlohmann/json.hpp>
#include <string>

void PrintTreeLine(std::ostream& out, const ImportedDocument& document) {
  // Levels below 0 cannot come from a well-formed outline; show them at the left margin.
  const size_t indent = 2 * static_cast<size_t>(std::max<int32_t>(document.level, 0));
  out << std::string(indent, ' ') << document.title << "  [" << document.content.size() << " bytes]\n";
}

void WriteJson(std::ostream& out, const std::vector<ImportedDocument>& documents) {
  nlohmann::ordered_json array = nlohmann::ordered_json::array();
  for (const ImportedDocument& d : documents)
    array.push_back({{"level", d.level}, {"title", d.title}, {"content", d.content}});
  out << array.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
}
