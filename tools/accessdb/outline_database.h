// Outline databases: the node table of an Arvoline (.xtp) or Gleanery (.xrd)
// file, with the root record holding the outline text and one record per node
// holding its content.
//
// Outline text: per node, in order, one entry
//   PP parent  KK key  TTT title  000000000
// where PP, KK (2 digits) and TTT (3 digits) count the bytes of the next field
// in the code page, followed by nine trailing bytes (written as '0'). Top-level
// nodes have the parent "Root".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/accessdb/column.h"

namespace accessdb {

class CodePageEncoder;

enum class OutlineVariant { kArvoline, kGleanery };

// The fixed names of one variant.
struct OutlineNames {
  const char* table;
  const char* key_field;
  const char* structure_field;  // root record: the outline text
  const char* content_field;    // node records: the content
  const char* root_key;
};
const OutlineNames& NamesOf(OutlineVariant variant);

struct OutlineNode {
  std::string parent = "Root";  // the parent's key, or "Root"
  std::string key;              // at most 99 bytes in the code page
  std::string title;            // at most 999 bytes in the code page
  std::optional<std::string> content;  // null when absent
};

struct OutlineOptions {
  OutlineVariant variant = OutlineVariant::kArvoline;
  Format format = Format::kJet4;
  int code_page = 1252;  // counts the outline's bytes; Jet 3 also stores text in it
  bool compress_text = true;  // Jet 4: text compressed where shorter, as Access stores it
  bool long_values_in_row = true;  // false: every memo on long-value pages (DatabaseOptions)
};

// The outline text (UTF-8) for `nodes`. Throws std::invalid_argument when a
// key or title is too long or holds a character the code page lacks.
std::string BuildOutlineText(const std::vector<OutlineNode>& nodes, const CodePageEncoder& code_page);

// Writes the node table: the root record first, then one record per node.
void WriteOutlineDatabase(const std::string& path, const OutlineOptions& options,
                          const std::vector<OutlineNode>& nodes);

struct GeneratorOptions {
  int nodes = 10;
  int depth = 3;            // levels below the root, at least 1
  int content_bytes = 200;  // length of each RTF-like content (ASCII); 0: no content
  std::uint64_t seed = 1;
};

// A pseudo-random tree in outline order (every parent before its children),
// the same for the same options and code page. Titles use non-ASCII letters
// where the code page has them. Without `with_content`, contents stay empty
// (GeneratedContent gives them one by one).
std::vector<OutlineNode> GenerateOutline(const GeneratorOptions& options, int code_page,
                                         bool with_content = true);
std::string GeneratedContent(const GeneratorOptions& options, const OutlineNode& node,
                             std::size_t index, const CodePageEncoder& code_page);

// Generates and writes a tree without holding all contents in memory.
void WriteGeneratedOutlineDatabase(const std::string& path, const OutlineOptions& options,
                                   const GeneratorOptions& generator);

// Reads OUTLINE.json: a list of {"parent", "key", "title", "content"}; a missing
// or null parent is "Root", a missing or null content is null.
std::vector<OutlineNode> ReadOutlineJson(const std::string& path);

}  // namespace accessdb
