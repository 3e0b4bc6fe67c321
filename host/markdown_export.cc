#include "host/markdown_export.h"

#include "host/displayed_pictures.h"
#include "host/json_string.h"
#include "host/markdown_document.h"
#include "host/markdown_escape.h"
#include "host/markup_text.h"
#include "host/safe_file_name.h"
#include "rtf/picture_format.h"
#include "rtf/rtf_reader.h"

namespace {

constexpr char kNoteExtension[] = ".md";
constexpr char kNumberedFolderNote[] = "index";

// YAML front matter; JSON's quoted strings are valid YAML scalars. "[" and
// "<" are escaped in the title, so that a renderer that shows front matter
// as text makes no link or HTML of it.
std::string FrontMatter(const std::string& title, const std::string& position, size_t order, int32_t level) {
  return "---\ntitle: " + JsonQuoted(ReadableText(title), "[<") + "\noutline: \"" + position +
         "\"\norder: " + std::to_string(order) + "\nlevel: " + std::to_string(level) + "\n---\n\n";
}


// True when `n` is 10^k with k >= 3: the first number one digit wider than
// all before it (numbers have at least three digits).
bool WidensNumbers(size_t n) {
  if (n < 1000) return false;
  while (n % 10 == 0) n /= 10;
  return n == 1;
}

}  // namespace

MarkdownExportWriter::MarkdownExportWriter(const std::filesystem::path& folder, MarkdownLayout layout)
    : layout_(layout), open_(1), folder_(folder) {
  open_[0].isFolder = true;
}

void MarkdownExportWriter::Write(const ImportedDocument& document, const OutlinePlace& place) {
  while (open_.size() > place.depth + 1) CloseLatest();
  if (!open_.back().isFolder) MakeFolderOfLatest();
  Note& parent = open_.back();
  Note note;
  note.level = document.level;
  note.title = document.title;
  note.content = document.content;
  note.position = place.position;
  note.order = place.siblingIndex + 1;
  note.name = NameFor(parent, document.title);
  parent.children.push_back({document.title, note.name, false});
  open_.push_back(std::move(note));
}

void MarkdownExportWriter::Finish() {
  while (open_.size() > 1) CloseLatest();
}

std::string MarkdownExportWriter::NameFor(Note& parent, const std::string& title) {
  if (layout_ == MarkdownLayout::kTitles) return parent.names.TakeNoteName(SafeFileName(title));
  const size_t order = parent.children.size() + 1;
  if (WidensNumbers(order)) WidenNumbers(parent);
  return NumberedFileName(order, order, title);
}

// Gives the siblings so far one more leading zero, so that names keep
// sorting in document order.
void MarkdownExportWriter::WidenNumbers(Note& parent) {
  for (Child& child : parent.children) {
    const std::string widened = "0" + child.name;
    const std::string extension = child.isFolder ? "" : kNoteExtension;
    folder_.Rename(child.name + extension, widened + extension);
    child.name = widened;
  }
}

void MarkdownExportWriter::MakeFolderOfLatest() {
  Note& note = open_.back();
  folder_ = folder_.MakeFolder(note.name);
  note.isFolder = true;
  open_[open_.size() - 2].children.back().isFolder = true;
  if (layout_ == MarkdownLayout::kTitles) note.names.TakeNoteName(note.name);  // the folder's own note
}

void MarkdownExportWriter::CloseLatest() {
  Note note = std::move(open_.back());
  open_.pop_back();
  SiblingNames* pictureNames = layout_ == MarkdownLayout::kNumbered ? nullptr
                               : note.isFolder                       ? &note.names
                                                                     : &open_.back().names;
  WriteNote(note, pictureNames);
  if (note.isFolder) folder_ = folder_.Parent();
}

void MarkdownExportWriter::WriteNote(Note& note, SiblingNames* pictureNames) const {
  const std::string base = note.isFolder && layout_ == MarkdownLayout::kNumbered ? kNumberedFolderNote : note.name;
  rtf::Document document = rtf::ReadDocument(note.content);
  ConvertPicturesForDisplay(document);
  std::vector<std::string> pictureFiles;
  for (size_t i = 0; i < document.pictures.size(); ++i) {
    const std::string stem = base + "-" + std::to_string(i + 1);
    const std::string extension = std::string(".") + rtf::FormatOf(document.pictures[i].kind).extension;
    pictureFiles.push_back(pictureNames ? pictureNames->TakeFileName(stem, extension) : stem + extension);
    folder_.WriteFile(pictureFiles.back(), document.pictures[i].bytes);
  }
  const std::string body = MarkdownBody(document, [&](size_t i) { return pictureFiles[i]; });
  const std::string links = ChildLinks(note);

  std::string text = FrontMatter(note.title, note.position, note.order, note.level);
  text.reserve(text.size() + note.title.size() + body.size() + links.size() + 16);
  text += "# ";
  text += EscapeMarkdownText(ShownTitle(note.title));
  text += '\n';
  if (!body.empty()) {
    text += '\n';
    text += body;
  }
  text += links;
  folder_.WriteFile(base + kNoteExtension, text);
}

// After a rule, a list of links to the note's children, each to the child's
// own note.
std::string MarkdownExportWriter::ChildLinks(const Note& note) const {
  if (note.children.empty()) return {};
  std::string out = "\n---\n\n";
  for (const Child& child : note.children) {
    std::string path = child.name;
    if (child.isFolder) path += "/" + (layout_ == MarkdownLayout::kNumbered ? std::string(kNumberedFolderNote) : child.name);
    out += "- [" + EscapeMarkdownText(ShownTitle(child.title)) + "](" + MarkdownFilePath(path + kNoteExtension) + ")\n";
  }
  return out;
}
