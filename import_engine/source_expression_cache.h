// SourceExpressionCache: the parsed form of each destination field's source
// text, for the row loop, which evaluates the same texts row after row.
//
// An entry serves only while the text it was parsed from is the text asked
// for (an event handler may change a mapping's source during a run), so what
// Get returns is always what parsing the text anew would give. Owned by the
// import component; one entry per destination field index, a few texts in
// all, kept until the component is destroyed.
#pragma once

#include <cstddef>
#include <vector>

#include "import_engine/t_smi_parser.h"
#include "runtime/unicode_string.h"

class SourceExpressionCache {
 public:
  // The parsed `source` of the field at `fieldIndex`. The reference stays
  // valid until the next Get.
  const TSMIParser::ParsedExpression& Get(size_t fieldIndex, const UnicodeString& source);

 private:
  struct Entry {
    bool filled = false;
    TSMIParser::ParsedExpression parsed;  // parsed.expression is the text it was made from
  };
  std::vector<Entry> entries_;
};
