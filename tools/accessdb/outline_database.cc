#include "tools/accessdb/outline_database.h"

#include <cstdio>
#include <fstream>
#include <functional>
#include <nlohmann/json.hpp>
#include <stdexcept>

#include "tools/accessdb/database_writer.h"
#include "tools/accessdb/text_codec.h"

namespace accessdb {
namespace {

// SplitMix64: tiny and identical everywhere (the standard distributions are not).
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }

 private:
  std::uint64_t state_;
};

const char* const kWords[] = {
    "alpha", "garden", "river", "notes", "ledger", "summary", "draft", "meeting", "plan",
    "budget", "letter", "archive", "project", "review", "chapter", "index", "journal", "report",
    "café", "Übersicht", "naïve", "façade", "smörgåsbord", "Ärger", "crème", "señor", "Grüße",
};

std::string Digits(std::size_t value, int width) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%0*zu", width, value);
  return buf;
}

void AppendField(std::string& out, const std::string& text, int width, std::size_t max,
                 const char* what, const CodePageEncoder& code_page) {
  const std::size_t bytes = code_page.Encode(text).size();
  if (bytes > max) {
    throw std::invalid_argument(std::string(what) + " \"" + text + "\" has " + std::to_string(bytes) +
                                " bytes in code page " + std::to_string(code_page.code_page()) +
                                " (at most " + std::to_string(max) + ")");
  }
  out += Digits(bytes, width);
  out += text;
}

std::vector<Column> NodeColumns(const OutlineNames& names) {
  return {{names.key_field, ColumnType::kText, 100},
          {names.structure_field, ColumnType::kMemo, 0},
          {names.content_field, ColumnType::kMemo, 0}};
}

void WriteNodes(const std::string& path, const OutlineOptions& options,
                const std::vector<OutlineNode>& nodes,
                const std::function<std::optional<std::string>(std::size_t)>& content) {
  const OutlineNames& names = NamesOf(options.variant);
  DatabaseOptions db;
  db.format = options.format;
  db.code_page = options.code_page;
  db.compress_text = options.compress_text;
  db.long_values_in_row = options.long_values_in_row;
  const CodePageEncoder code_page(options.code_page);
  const std::string outline = BuildOutlineText(nodes, code_page);
  DatabaseWriter writer(path, db);
  writer.BeginTable(names.table, NodeColumns(names));
  writer.AddRow({Value::Text(names.root_key), Value::Text(outline), Value()});
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    const std::optional<std::string> c = content(i);
    writer.AddRow({Value::Text(nodes[i].key), Value(), c ? Value::Text(*c) : Value()});
  }
  writer.EndTable();
  writer.Finish();
}

}  // namespace

const OutlineNames& NamesOf(OutlineVariant variant) {
  static const OutlineNames kArvoline{"Arvoline32XTPro", "NodeKeyValue", "NodeTextValue",
                                      "NodeTextRTFValue", "~Arvo32XT"};
  static const OutlineNames kGleanery{"DocumentsTreeNodes", "NodeKeyValue",
                                      "NodeDocumentDescription", "NodeDocumentKeywords",
                                      "~DocsTree"};
  return variant == OutlineVariant::kGleanery ? kGleanery : kArvoline;
}

std::string BuildOutlineText(const std::vector<OutlineNode>& nodes, const CodePageEncoder& code_page) {
  std::string out;
  for (const OutlineNode& n : nodes) {
    AppendField(out, n.parent, 2, 99, "parent key", code_page);
    AppendField(out, n.key, 2, 99, "key", code_page);
    AppendField(out, n.title, 3, 999, "title", code_page);
    out += "000000000";
  }
  return out;
}

void WriteOutlineDatabase(const std::string& path, const OutlineOptions& options,
                          const std::vector<OutlineNode>& nodes) {
  WriteNodes(path, options, nodes, [&](std::size_t i) { return nodes[i].content; });
}

std::vector<OutlineNode> GenerateOutline(const GeneratorOptions& options, int code_page,
                                         bool with_content) {
  if (options.nodes < 0 || options.depth < 1 || options.content_bytes < 0) {
    throw std::invalid_argument("generated outline: nodes >= 0, depth >= 1, content bytes >= 0");
  }
  const CodePageEncoder encoder(code_page);
  std::vector<std::string> words;
  for (const char* w : kWords) {
    if (encoder.CanEncode(w)) words.push_back(w);
  }
  Random random(options.seed);
  std::vector<OutlineNode> nodes;
  nodes.reserve(static_cast<std::size_t>(options.nodes));
  std::vector<std::string> path;  // keys of the last node at each level
  for (int i = 0; i < options.nodes; ++i) {
    const int max_level = std::min(static_cast<int>(path.size()), options.depth - 1);
    const int level = i == 0 ? 0 : random.Below(max_level + 1);
    OutlineNode n;
    n.parent = level == 0 ? "Root" : path[static_cast<std::size_t>(level - 1)];
    n.key = "K" + std::to_string(i + 1);
    const int word_count = 1 + random.Below(5);
    n.title = std::to_string(i + 1) + ".";
    for (int w = 0; w < word_count; ++w) {
      n.title += " " + words[static_cast<std::size_t>(random.Below(static_cast<int>(words.size())))];
    }
    path.resize(static_cast<std::size_t>(level));
    path.push_back(n.key);
    nodes.push_back(std::move(n));
  }
  if (with_content) {
    for (std::size_t i = 0; i < nodes.size(); ++i) {
      if (options.content_bytes > 0) nodes[i].content = GeneratedContent(options, nodes[i], i, encoder);
    }
  }
  return nodes;
}

std::string GeneratedContent(const GeneratorOptions& options, const OutlineNode& node,
                             std::size_t index, const CodePageEncoder& code_page) {
  const std::size_t size = static_cast<std::size_t>(options.content_bytes);
  if (size == 0) return {};
  Random random(options.seed ^ (0xA5A5A5A5ull + index * 0x100000001B3ull));
  std::string rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\\f0\\fs20 ";
  // The title as RTF: its code page bytes, non-ASCII ones as \'xx escapes, so
  // the content is ASCII.
  for (unsigned char c : code_page.Encode(node.title)) {
    if (c < 0x80) {
      rtf += static_cast<char>(c);
    } else {
      char esc[8];
      std::snprintf(esc, sizeof esc, "\\'%02x", c);
      rtf += esc;
    }
  }
  rtf += "\\par ";
  while (rtf.size() + 1 < size) {
    rtf += kWords[random.Below(18)];  // ASCII words only
    rtf += random.Below(12) == 0 ? "\\par " : " ";
  }
  rtf.resize(size - 1);
  rtf += "}";
  return rtf;
}

void WriteGeneratedOutlineDatabase(const std::string& path, const OutlineOptions& options,
                                   const GeneratorOptions& generator) {
  const std::vector<OutlineNode> nodes = GenerateOutline(generator, options.code_page, false);
  const CodePageEncoder code_page(options.code_page);
  WriteNodes(path, options, nodes, [&](std::size_t i) -> std::optional<std::string> {
    if (generator.content_bytes == 0) return std::nullopt;
    return GeneratedContent(generator, nodes[i], i, code_page);
  });
}

std::vector<OutlineNode> ReadOutlineJson(const std::string& path) {
  std::ifstream in(path);
  if (!in) throw std::invalid_argument("cannot read " + path);
  nlohmann::json doc;
  try {
    doc = nlohmann::json::parse(in);
  } catch (const nlohmann::json::exception& e) {
    throw std::invalid_argument(path + ": " + e.what());
  }
  if (!doc.is_array()) throw std::invalid_argument(path + ": expected a list of nodes");
  std::vector<OutlineNode> nodes;
  for (std::size_t i = 0; i < doc.size(); ++i) {
    const nlohmann::json& j = doc[i];
    const std::string where = path + ": node " + std::to_string(i + 1);
    auto text = [&](const char* field, bool required) -> std::optional<std::string> {
      if (!j.contains(field) || j[field].is_null()) {
        if (required) throw std::invalid_argument(where + ": \"" + field + "\" is missing");
        return std::nullopt;
      }
      if (!j[field].is_string()) throw std::invalid_argument(where + ": \"" + field + "\" must be a string");
      return j[field].get<std::string>();
    };
    if (!j.is_object()) throw std::invalid_argument(where + ": expected an object");
    OutlineNode n;
    n.parent = text("parent", false).value_or("Root");
    n.key = *text("key", true);
    n.title = *text("title", true);
    n.content = text("content", false);
    nodes.push_back(std::move(n));
  }
  return nodes;
}

}  // namespace accessdb
