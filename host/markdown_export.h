// The Markdown export: a folder with one Markdown file per document, in one
// of two layouts.
//
// kTitles (the default) is a folder note tools open as it is: Obsidian as a
// vault, Joplin through its "Markdown + Front Matter" import. A document is
// "Title.md", its title made safe as a file name (safe_file_name.h), with
// " (2)", " (3)" ... after a title its siblings already have; a document
// with children is a folder "Title" holding its own note "Title.md" (the
// folder-note convention) and its children.
//
// kNumbered serves file browsers, which sort by name: a document is
// "NNN-Title.md" (NNN its position among its siblings, padded to the largest
// sibling number), a document with children a folder "NNN-Title" holding
// its own text as "index.md".
//
// Every file starts with front matter (title, outline position "1.2",
// position among its siblings, the plug-in's level) and the title as a
// heading; a parent ends with links to its children in their order.
// Pictures are files beside the note ("Title-1.png", "index-1.png"; in the
// numbered layout "007-Title-1.png"), WMF drawn as PNG.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "host/document_writer.h"
#include "host/output_folder.h"
#include "host/sibling_names.h"

enum class MarkdownLayout { kTitles, kNumbered };

// Writes documents as they arrive into a folder that exists and is empty. A
// document's note is written once the document after its last descendant
// arrives (or at Finish()), when its children are known; the writer holds
// the documents on the path from the top to the latest one, per open parent
// its children's titles and names, and one open folder.
//
// Costs per note: one file created and written in one call; per folder one
// mkdirat and two opens. In the numbered layout, the 1000th (10,000th ...)
// sibling widens the numbers of those before it: each is renamed once then
// (the pictures of a note keep the name they were written with, so that the
// note's links to them hold).
//
// Write failures are OutputErrors naming the file inside the folder.
class MarkdownExportWriter : public DocumentWriter {
 public:
  MarkdownExportWriter(const std::filesystem::path& folder, MarkdownLayout layout);
  void Write(const ImportedDocument& document, const OutlinePlace& place) override;
  void Finish() override;

 private:
  struct Child {
    std::string title;
    std::string name;  // its file's name without ".md", or its folder's name
    bool isFolder = false;
  };
  struct Note {
    int32_t level = 0;
    std::string title;
    std::string content;
    std::string position;  // "1.2.3"
    size_t order = 0;      // 1-based among its siblings
    std::string name;      // as in Child
    bool isFolder = false;
    std::vector<Child> children;
    SiblingNames names;  // kTitles: the names taken in its folder
  };

  std::string NameFor(Note& parent, const std::string& title);
  void WidenNumbers(Note& parent);
  void MakeFolderOfLatest();
  void CloseLatest();
  // Writes the note and its pictures into folder_.
  void WriteNote(Note& note, SiblingNames* pictureNames) const;
  std::string ChildLinks(const Note& note) const;

  MarkdownLayout layout_;
  std::vector<Note> open_;  // open_[0] stands for the export's folder itself
  OutputFolder folder_;     // the deepest open folder
};
