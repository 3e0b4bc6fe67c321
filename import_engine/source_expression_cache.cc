#include "import_engine/source_expression_cache.h"

const TSMIParser::ParsedExpression& SourceExpressionCache::Get(size_t fieldIndex, const UnicodeString& source) {
  if (fieldIndex >= entries_.size()) entries_.resize(fieldIndex + 1);
  Entry& entry = entries_[fieldIndex];
  if (!entry.filled || !SameUnits(entry.parsed.expression, source)) {
    entry.parsed = TSMIParser::Parse(source);
    entry.filled = true;
  }
  return entry.parsed;
}
