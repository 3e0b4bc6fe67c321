// The HTML export: one self-contained HTML5 page that works offline and opens
// quickly at any size.
//
// The page is written as the documents arrive, in chunks of up to
// kChunkDocuments documents: each chunk's content as HTML sections inside a
// <noscript> element, then the chunk's outline (depth, position and title of
// each document) as a JSON list. A browser running scripts reads a <noscript>
// element as raw text, so loading the page parses no document's content; the
// page's script (html_page.js) draws the table of contents and the documents
// as nested collapsible sections, parses a chunk when one of its documents is
// first shown, and opens documents in outline order only until the first
// view is full. Without scripts the chunks show as plain sections in outline
// order, headings by depth. Each document's anchor is "#d" + its position
// ("#d1.2.3").
//
// The writer holds one chunk's outline list at a time, never the documents.
#pragma once

#include <string>

#include "host/document_writer.h"

class HtmlExportWriter : public DocumentWriter {
 public:
  static constexpr size_t kChunkDocuments = 100;
  static constexpr size_t kChunkBytes = 256 * 1024;  // a chunk ends after the document that passes this

  // Writes the head, with `title` as the page's title and heading.
  HtmlExportWriter(std::ostream& out, const std::string& title);
  void Write(const ImportedDocument& document, const OutlinePlace& place) override;
  void Finish() override;

 private:
  void EndChunk();

  std::ostream& out_;
  std::string outline_;  // the open chunk's outline list so far, without its brackets
  size_t chunkDocuments_ = 0;
  size_t chunkBytes_ = 0;
};
