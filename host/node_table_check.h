// The host's own reading of the node table behind an export, to find the
// notes the plug-in could not deliver whole.
//
// The plug-in drops a row it cannot read and delivers an outline entry
// without a record as a note without content; nothing of that reaches the
// host through the plug-in's interface. This reads the table again through
// the project's Access reader (jet/), every row and every value once, and
// compares it with the outline text of the root record:
//   lost content   an outline entry whose record is missing, or whose key or
//                  content could not be read
//   lost entirely  a row that could not be read at all, beyond the entries
//                  above that may be its note
//   never reached  a readable record that no outline entry names
// The outline text is parsed as the plug-in parses it, in the active ANSI
// code page; the table and field names follow the file's extension as the
// plug-in's do (".xrd" Gleanery, anything else Arvoline).
//
// Cost: one sequential pass over the table with the reader's bounded page
// cache and one parse of the outline; holds every key and the outline's
// entries, never the contents, which are decoded one at a time and dropped.
// On 100,000 notes about 0.14 s (bench/export_bench.cc).
#pragma once

#include <string>
#include <vector>

struct LostNote {
  // The last two only in salvage (salvaged_outline.h): a note delivered with
  // the part of its content before the damage, and one delivered under
  // "Recovered notes" with a title made from its key and text.
  enum Kind { kLostContent, kLostEntirely, kNeverReached, kContentCut, kRecovered };
  Kind kind;
  std::string position;  // in the outline ("1.2.3"); empty when it has none
  std::string title;     // UTF-8; empty when unknown
  std::string key;       // UTF-8; empty when unreadable
  std::string reason;    // what the reader found, or why the note was not reached
};

// The lost notes of the database at `path` (UTF-8), in outline order, then
// the rows no entry reached in table order. Empty for an undamaged database.
// A node table the reader cannot open at all gives one kLostEntirely entry
// with the reader's message.
std::vector<LostNote> FindLostNotes(const std::string& path);
