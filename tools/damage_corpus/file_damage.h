// The kinds of damage the corpus puts into copies of its databases, each
// applied by one function: bit flips, overwritten bytes, zeroed, swapped and
// cut pages, and aimed damage to the node table's definition, the long
// values of its contents, its usage map, the catalog and the outline.
#pragma once

#include <string>
#include <vector>

#include "tools/damage_corpus/corpus_database.h"
#include "tools/damage_corpus/seeded_random.h"

namespace damage_corpus {

struct Damage {
  std::string kind;
  std::string detail;              // what was done, for a person reading the corpus
  std::vector<ByteRange> changed;  // the bytes that differ from the undamaged file; a cut file:
                                   // from its new end to the old one
};

// The kinds' names, in the order DamageCopy numbers them.
std::vector<std::string> DamageKinds();

// Damages `copy` (the bytes of `db`'s file) with one damage of kind `kind`.
Damage DamageCopy(const CorpusDatabase& db, size_t kind, SeededRandom& random, std::string& copy);

}  // namespace damage_corpus
