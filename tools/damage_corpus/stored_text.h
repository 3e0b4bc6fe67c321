// Where the test-database writer puts the bytes of a text value in its file.
//
// The writer stores a memo in its row (short values), as one row of a
// long-value page, or as a chain of long-value rows, each holding the next
// `max_long_value_row - 4` bytes of the stored form (Jet 4: FF FE and one
// byte a character; Jet 3: the code page's bytes). Locating every piece of
// that stored form in the written file tells which file bytes belong to a
// note's own text, so that damage to them can be told from damage elsewhere.
//
// Only texts of one byte a character are handled (ASCII and Latin-1 letters,
// which Jet 4 compresses and code page 1252 holds as they are); Encode
// refuses others. Cost: one search of the file per piece.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "tools/accessdb/column.h"

namespace damage_corpus {

struct ByteRange {
  size_t begin;
  size_t end;  // exclusive
  bool Overlaps(const ByteRange& other) const { return begin < other.end && other.begin < end; }
};

class StoredText {
 public:
  StoredText(accessdb::Format format, int codePage);

  // The bytes the writer stores for `utf8`; throws std::invalid_argument for
  // a text not stored one byte a character.
  std::string Encode(const std::string& utf8) const;
  // Offset in the stored form of the character at `index` of such a text.
  size_t CharacterOffset(size_t index) const { return (jet4_ ? 2 : 0) + index; }
  // The pieces, as stored offsets, that the writer splits `size` stored bytes into.
  std::vector<ByteRange> Pieces(size_t size) const;

  // The file ranges holding each piece of `stored` in `file`, in order;
  // throws std::runtime_error when a piece is not found exactly once.
  std::vector<ByteRange> Locate(std::string_view file, const std::string& stored) const;
  // The file ranges that hold stored bytes `part` of a value whose pieces
  // lie at `located` (from Locate).
  std::vector<ByteRange> FileRanges(const std::vector<ByteRange>& located, ByteRange part) const;

 private:
  bool jet4_;
  int codePage_;
  size_t maxRow_;
};

}  // namespace damage_corpus
