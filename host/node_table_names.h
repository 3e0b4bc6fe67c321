// The names of the node table the plug-in reads, by the database's
// extension, as the plug-in picks them: ".xrd" Gleanery, anything else
// Arvoline. Constant data.
#pragma once

#include "runtime/unicode_string.h"

struct NodeTableNames {
  const char16_t* extension;  // nullptr: every other file
  const char16_t* table;
  const char16_t* structure;  // the root record's outline text
  const char16_t* content;
  const char16_t* root;       // the root record's key
};

// Every record's key, in both variants.
inline constexpr char16_t kNodeKeyField[] = u"NodeKeyValue";

// The names for the database at `path`.
const NodeTableNames& NodeTableNamesFor(const UnicodeString& path);
