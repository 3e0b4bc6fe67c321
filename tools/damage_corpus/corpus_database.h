// One undamaged database of the corpus: written by the test-database writer
// from seeded notes, read back whole, with the file bytes of every note's own
// text (its content and its title in the outline) and of the outline.
//
// Holds the file's bytes (up to a few MB) and the notes.
#pragma once

#include <string>
#include <vector>

#include "tools/damage_corpus/corpus_notes.h"
#include "tools/damage_corpus/seeded_random.h"
#include "tools/damage_corpus/stored_text.h"

namespace damage_corpus {

struct CorpusDatabase {
  accessdb::OutlineOptions options;
  std::vector<CorpusNote> notes;
  std::string bytes;  // the written file
  std::vector<std::vector<ByteRange>> contents;  // per note: the file bytes of its content, piece by piece
  std::vector<std::vector<ByteRange>> titles;    // per note: the file bytes of its title
  std::vector<ByteRange> outline;                // the outline text, piece by piece
};

// Writes `count` notes (at most `depth` levels) to `path` and locates their texts.
CorpusDatabase WriteCorpusDatabase(const std::string& path, const accessdb::OutlineOptions& options,
                                   SeededRandom& random, int count, int depth);

}  // namespace damage_corpus
