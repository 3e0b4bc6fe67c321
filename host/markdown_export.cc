#include "host/markdown_export.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <nlohmann/json.hpp>

#include "host/host_error.h"
#include "host/markdown_document.h"
#include "host/markdown_escape.h"
#include "host/markup_text.h"
#include "host/safe_file_name.h"
#include "rtf/rtf_reader.h"

namespace fs = std::filesystem;

namespace {

const char* FileExtension(rtf::PictureKind kind) {
  switch (kind) {
    case rtf::PictureKind::kPng: return ".png";
    case rtf::PictureKind::kJpeg: return ".jpg";
    case rtf::PictureKind::kEmf: return ".emf";
    case rtf::PictureKind::kWmf: return ".wmf";
  }
  return ".bin";
}

// One open, one write, one close: an export writes a file per document.
void WriteFile(const fs::path& path, const std::string& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) throw HostError("cannot write " + path.string() + ": " + std::strerror(errno));
  int error = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() ? 0 : errno;
  if (std::fclose(file) != 0 && error == 0) error = errno;
  if (error != 0) throw HostError("cannot write " + path.string() + ": " + std::strerror(error));
}

// YAML front matter; JSON's quoted strings are valid YAML scalars.
std::string FrontMatter(const std::string& title, const std::string& position, size_t order, int32_t level) {
  return "---\ntitle: " + nlohmann::json(ReadableText(title)).dump() + "\noutline: \"" + position +
         "\"\norder: " + std::to_string(order) + "\nlevel: " + std::to_string(level) + "\n---\n\n";
}

// The text a link to a note shows: its title, which may be blank.
std::string LinkText(const std::string& title) {
  const std::string text = EscapeMarkdownText(title);
  return text.find_first_not_of(" \t") == std::string::npos ? "(untitled)" : text;
}

}  // namespace

MarkdownExport::MarkdownExport(fs::path folder, MarkdownLayout layout, std::function<void()> documentDone)
    : layout_(layout), documentDone_(std::move(documentDone)) {
  open_.emplace_back();
  open_[0].directory = std::move(folder);
  open_[0].isFolder = true;
}

void MarkdownExport::Add(const ImportedDocument& document, size_t siblings) {
  // A document's parent is the nearest open one at a lower level.
  while (open_.size() > 1 && open_.back().level >= document.level) CloseLatest();
  Note& parent = open_.back();
  if (!parent.isFolder) OpenFolder(parent);
  Note note;
  note.level = document.level;
  note.title = document.title;
  note.content = document.content;
  note.order = parent.children.size() + 1;
  note.position = (parent.position.empty() ? "" : parent.position + ".") + std::to_string(note.order);
  note.directory = open_.size() == 1 ? parent.directory : parent.directory / parent.name;
  note.name = layout_ == MarkdownLayout::kNumbered ? NumberedFileName(note.order, siblings, document.title)
                                                   : parent.names.TakeNoteName(SafeFileName(document.title));
  parent.children.push_back({document.title, {}});
  open_.push_back(std::move(note));
}

void MarkdownExport::Finish() {
  while (open_.size() > 1) CloseLatest();
}

void MarkdownExport::OpenFolder(Note& note) {
  const fs::path path = note.directory / note.name;
  std::error_code error;
  fs::create_directory(path, error);
  if (error) throw HostError("cannot create " + path.string() + ": " + error.message());
  note.isFolder = true;
  if (layout_ == MarkdownLayout::kTitles) note.names.TakeNoteName(note.name);  // the folder's own note
}

void MarkdownExport::CloseLatest() {
  Note note = std::move(open_.back());
  open_.pop_back();
  Note& parent = open_.back();
  SiblingNames* pictureNames = layout_ == MarkdownLayout::kNumbered ? nullptr
                               : note.isFolder                       ? &note.names
                                                                     : &parent.names;
  parent.children.back().path = Write(note, pictureNames);
  documentDone_();
}

std::string MarkdownExport::Write(Note& note, SiblingNames* pictureNames) {
  const fs::path directory = note.isFolder ? note.directory / note.name : note.directory;
  const std::string base = note.isFolder && layout_ == MarkdownLayout::kNumbered ? "index" : note.name;

  std::string text = FrontMatter(note.title, note.position, note.order, note.level) + "# " +
                     EscapeMarkdownText(note.title) + "\n";
  rtf::Document document = rtf::ReadDocument(note.content);
  note.content.clear();
  std::vector<std::string> pictureFiles;
  for (size_t i = 0; i < document.pictures.size(); ++i) {
    const std::string stem = base + "-" + std::to_string(i + 1);
    const char* extension = FileExtension(document.pictures[i].kind);
    pictureFiles.push_back(pictureNames ? pictureNames->TakeFileName(stem, extension) : stem + extension);
    WriteFile(directory / pictureFiles.back(), document.pictures[i].bytes);
  }
  const std::string body = MarkdownBody(document, [&](size_t i) { return pictureFiles[i]; });
  if (!body.empty()) text += "\n" + body;
  if (!note.children.empty()) {
    text += "\n---\n\n";
    for (const ChildLink& child : note.children)
      text += "- [" + LinkText(child.title) + "](" + MarkdownFilePath(child.path) + ")\n";
  }
  WriteFile(directory / (base + ".md"), text);
  return note.isFolder ? note.name + "/" + base + ".md" : base + ".md";
}

void WriteMarkdownExport(const fs::path& folder, MarkdownLayout layout, const ExportInput& input) {
  const auto& nodes = input.tree.nodes;
  std::vector<size_t> siblings(nodes.size(), input.tree.roots.size());
  for (const DocumentNode& node : nodes)
    for (const size_t child : node.children) siblings[child] = node.children.size();
  MarkdownExport writer(folder, layout, input.documentDone);
  for (size_t i = 0; i < nodes.size(); ++i) writer.Add(*nodes[i].document, siblings[i]);
  writer.Finish();
}
