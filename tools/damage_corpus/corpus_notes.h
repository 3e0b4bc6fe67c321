// The notes of one corpus database: a tree of unique keys, unique titles
// (with Latin-1 letters) and unique RTF contents of varied lengths (stored in
// the row, in one long-value row, or as chains), drawn from the seeded
// generator.
#pragma once

#include <vector>

#include "tools/accessdb/outline_database.h"
#include "tools/damage_corpus/seeded_random.h"
#include "tools/damage_corpus/stored_text.h"

namespace damage_corpus {

struct CorpusNote {
  accessdb::OutlineNode node;
  int level;  // 0 at the top
};

// `count` notes in outline order, at most `depth` levels. Long values are
// padded so that no chain ends in a piece too short to be found again in the
// file (StoredText::Locate), the outline's included.
std::vector<CorpusNote> CorpusNotes(SeededRandom& random, int count, int depth, const StoredText& stored);

}  // namespace damage_corpus
