#include "host/markdown_export.h"

#include <fstream>
#include <nlohmann/json.hpp>

#include "host/displayed_pictures.h"
#include "host/host_error.h"
#include "host/markdown_document.h"
#include "host/markup_text.h"
#include "host/output_error.h"
#include "host/safe_file_name.h"
#include "rtf/picture_format.h"
#include "rtf/rtf_reader.h"

namespace fs = std::filesystem;

namespace {

void WriteFile(const fs::path& path, const std::string& bytes) { WriteWholeFile(path, bytes); }

// YAML front matter; JSON's quoted strings are valid YAML scalars.
std::string FrontMatter(const DocumentNode& node) {
  return "---\ntitle: " + nlohmann::json(ValidUtf8(node.document->title)).dump() + "\noutline: \"" + node.position +
         "\"\nlevel: " + std::to_string(node.depth) + "\n---\n\n";
}

// The document's file: `directory`/`base`.md, pictures `base`-N.ext beside it.
void WriteDocument(const DocumentNode& node, const fs::path& directory, const std::string& base) {
  std::string text = FrontMatter(node) + "# " + EscapeMarkdown(ValidUtf8(node.document->title), false) + "\n";
  const std::string& content = node.document->content;
  if (rtf::IsRtf(content)) {
    rtf::Document document = rtf::ReadDocument(content);
    ConvertPicturesForDisplay(document);
    auto pictureFile = [&](size_t i) {
      return base + "-" + std::to_string(i + 1) + "." + rtf::FormatOf(document.pictures[i].kind).extension;
    };
    const std::string body = MarkdownBody(document, pictureFile);
    if (!body.empty()) text += "\n" + body;
    for (size_t i = 0; i < document.pictures.size(); ++i) WriteFile(directory / pictureFile(i), document.pictures[i].bytes);
  } else if (!content.empty()) {
    text += "\n" + content + (content.back() == '\n' ? "" : "\n");  // not RTF: kept as it is
  }
  WriteFile(directory / (base + ".md"), text);
}

}  // namespace

void WriteMarkdownExport(const fs::path& folder, const ExportInput& input) {
  const auto& nodes = input.tree.nodes;
  std::vector<fs::path> directoryOf(nodes.size());  // where each node's children go
  std::vector<fs::path> parentDirectory(nodes.size(), folder);
  for (size_t i = 0; i < nodes.size(); ++i) {
    const DocumentNode& node = nodes[i];
    const std::string name = NumberedFileName(node.siblingIndex + 1, node.document->title);
    if (node.children.empty()) {
      WriteDocument(node, parentDirectory[i], name);
    } else {
      directoryOf[i] = parentDirectory[i] / name;
      std::error_code error;
      fs::create_directory(directoryOf[i], error);
      if (error) throw OutputError(directoryOf[i], error.message());
      WriteDocument(node, directoryOf[i], "index");
      for (const size_t child : node.children) parentDirectory[child] = directoryOf[i];
    }
    input.documentDone();
  }
}
