// The attachments of one attachment column, read from its flat table:
// each file's name, type and, when asked for, its bytes.
//
// The flat table (jet_flat_table.h) has one row per file: FileName,
// FileType (the extension Access shows), FileData (the encoded file,
// jet_attachment_data.h), and FileURL, FileTimeStamp and FileFlags, which
// Access leaves Null. A row's files are those whose key is its complex
// cell, in the order they were attached.
//
// Reads the flat table whole, once per call. Without the data, holds the
// names and types; with it, also every file decoded: at most
// kJetAttachmentInflation times the file's size in all, so that a damaged
// length or stream cannot take unbounded memory.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "jet/jet_file.h"
#include "runtime/unicode_string.h"

// Decoded bytes one read may produce, per byte of the file. Deflate rarely
// shrinks ordinary files more than tenfold; more than this can only be
// damage, or a file made to exhaust memory.
constexpr uint64_t kJetAttachmentInflation = 16;

struct JetAttachment {
  UnicodeString name;  // FileName
  UnicodeString type;  // FileType
  std::string data;    // the file's bytes; empty when not asked for
};

class JetAttachments {
 public:
  // The attachment column `column` whose files `flatTable` (definition on
  // `definitionPage`) holds.
  JetAttachments(std::shared_ptr<const JetFile> file, UnicodeString column, UnicodeString flatTable,
                 uint32_t definitionPage);

  // Every owning row's files, by the key in its cell; with their bytes
  // when `withData`. Raises EJetError for a damaged flat table, a FileData
  // that does not decode (DecodeJetAttachmentData), and files together
  // larger than the bound above.
  std::map<int32_t, std::vector<JetAttachment>> Read(bool withData) const;

 private:
  std::shared_ptr<const JetFile> file_;
  UnicodeString column_;
  UnicodeString flatTable_;
  uint32_t definitionPage_;
};
