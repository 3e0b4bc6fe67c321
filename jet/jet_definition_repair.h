// The definition a salvage reads a table with when the table's own
// definition is damaged: the text columns the caller needs, taken from what
// the damaged bytes still show and checked against the table's rows.
//
// A definition page holds each column three times over: its entry (type,
// number, variable index, size, flags), its name, and the shape of its cells
// in every row. One or a few damaged bytes break one of them, so the repair
// does not trust any alone:
// 1. it reads the definition's bytes whatever its page type says (its first
//    page whole, further pages while they are definition pages);
// 2. it finds where the column entries and names lie: the counts of real
//    indexes and columns that give the most entries and names that look like
//    a well-formed file's, the header's own counts preferred on a tie; a name
//    whose length is damaged is passed over to where the next name starts;
// 3. it pairs each wanted column with an entry: by name, ignoring case; else
//    with any entry not named otherwise;
// 4. it takes from the entry its number and variable index where no other
//    entry shares them and they lie in range, else each value no other entry
//    takes; its type as Text or Memo (each tried); a text's size as the
//    largest a text may have, since a damaged size would cut keys or refuse
//    them;
// 5. it reads the first rows of the table (the data pages that name the
//    definition page) with each choice for each column alone, and keeps the
//    combination that reads the most values whole and as text, the one
//    closest to what the entries say on a tie.
//
// Costs: one pass over the file's page headers to find the sample pages,
// then a few hundred row reads of at most kSamplePages pages for each choice.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "jet/jet_file.h"
#include "jet/jet_table_definition.h"
#include "runtime/unicode_string.h"

struct JetSalvageDefinition {
  uint32_t page = 0;         // the definition page the table's data pages name
  bool fromCatalog = false;  // found through the catalog's entry
  bool repaired = false;     // the columns below were repaired from damage
  // The wanted columns alone when repaired, else the whole definition.
  JetTableDefinition definition;
};

// The definition to salvage table `name` with, reading the text columns
// `wanted` (Text or Memo). The definition the catalog names, or one found
// by its columns (jet_definition_search.h), is taken as it is unless the
// table's first rows read clearly better with a repaired one; without a
// readable definition, the catalog's page, or else each definition page of
// the file, is repaired. nullopt when no definition reads the first rows.
// What was wrong is appended to `damage`, one line each.
std::optional<JetSalvageDefinition> FindSalvageDefinition(const std::shared_ptr<const JetFile>& file,
                                                          UnicodeStringView name,
                                                          const std::vector<UnicodeString>& wanted,
                                                          std::vector<UnicodeString>& damage);
