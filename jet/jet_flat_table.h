// The values behind one complex column (attachments, multi-value lists,
// version history): the rows of its flat table.
//
// A flat table holds one row per value: the owning row's key ("_" and the
// column's name; the owning row's complex cell holds the same number), the
// value's own AutoNumber id (the order in which the values were added), and
// the columns of the value's kind ("Value"; "FileName", "FileData", ... of
// an attachment). A row without a key belongs to no owning row and is left
// out.
//
// Reads the table whole in one pass: the result holds every row's asked-for
// values (a memo or OLE value read whole), at most twice the file's bytes
// (the cursor's bound on one pass).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "jet/jet_file.h"
#include "runtime/unicode_string.h"
#include "runtime/variant.h"

struct JetFlatRow {
  int32_t key;                  // the owning row's complex cell
  int64_t id;                   // the value's own id (else its place in the table)
  std::vector<Variant> values;  // of the asked-for columns, in the order asked
};

// The rows of `flatTable` (definition on `definitionPage`), which holds the
// values of the complex column named `column`, with the values of
// `columns`; sorted by key, then id. Raises EJetError "The values of column
// '...' are damaged: table '...' lacks their columns." when the key or one
// of `columns` is missing, and the cursor's errors for a damaged table.
std::vector<JetFlatRow> ReadJetFlatTable(const std::shared_ptr<const JetFile>& file, const UnicodeString& column,
                                         const UnicodeString& flatTable, uint32_t definitionPage,
                                         const std::vector<UnicodeStringView>& columns);
