// Writes fixture files that the test loader reads as databases (format in
// fake_ms_access_importer.h).
#pragma once

#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <utility>
#include <vector>

namespace fake_database_file {

// The columns of an Arvoline node table: key, outline text, content.
inline nlohmann::json ArvolineColumns() {
  return nlohmann::json::array({{{"name", "NodeKeyValue"}, {"type", "string"}, {"size", 50}},
                                {{"name", "NodeTextValue"}, {"type", "memo"}},
                                {{"name", "NodeTextRTFValue"}, {"type", "memo"}}});
}

// Writes an Arvoline database whose root record holds `outline` and whose
// other records are `nodes` (key and content, UTF-8).
inline void WriteArvoline(const std::string& fileName, const std::string& outline,
                          const std::vector<std::pair<std::string, std::string>>& nodes) {
  nlohmann::json rows = nlohmann::json::array();
  rows.push_back(nlohmann::json::array({"~Arvo32XT", outline, nullptr}));
  for (const auto& [key, content] : nodes) rows.push_back(nlohmann::json::array({key, nullptr, content}));
  nlohmann::json fixture = {{"tables", {{"Arvoline32XTPro", {{"columns", ArvolineColumns()}, {"rows", rows}}}}}};
  std::ofstream(fileName, std::ios::binary) << fixture.dump(1);
}

}  // namespace fake_database_file
