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
// Pictures are files beside the note ("Title-1.png", "index-1.png").
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "host/export_input.h"
#include "host/sibling_names.h"

enum class MarkdownLayout { kTitles, kNumbered };

// Writes documents as they arrive, in delivery order, into a folder that
// exists and is empty. A document's note is written once the document after
// its last descendant arrives (or at Finish()), so the writer holds only the
// documents on the path from the top to the latest one, and per open parent
// its children's names.
class MarkdownExport {
 public:
  MarkdownExport(std::filesystem::path folder, MarkdownLayout layout, std::function<void()> documentDone = [] {});

  // `siblings`: kNumbered only, the number of siblings the document has
  // (itself included), which its name's width depends on.
  void Add(const ImportedDocument& document, size_t siblings = 0);
  // Writes the documents still open. Call once, after the last Add().
  void Finish();

 private:
  struct ChildLink {
    std::string title;
    std::string path;  // relative to the parent's note, set when the child is written
  };
  struct Note {
    int32_t level = 0;
    std::string title;
    std::string content;
    std::string position;  // "1.2.3"; empty for the top folder
    size_t order = 0;      // 1-based among its siblings
    std::filesystem::path directory;  // where its file, or its folder, goes
    std::string name;                 // its file's name without ".md", or its folder's name
    bool isFolder = false;
    std::vector<ChildLink> children;
    SiblingNames names;  // kTitles: the names taken in its folder
  };

  void OpenFolder(Note& note);
  void CloseLatest();
  // Writes the note and its pictures; returns the note's path relative to
  // its parent's folder.
  std::string Write(Note& note, SiblingNames* pictureNames);

  MarkdownLayout layout_;
  std::function<void()> documentDone_;
  std::vector<Note> open_;  // open_[0] is the export's folder itself
};

// The whole export of documents already imported, in either layout.
void WriteMarkdownExport(const std::filesystem::path& folder, MarkdownLayout layout, const ExportInput& input);
