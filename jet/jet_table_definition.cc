#include "jet/jet_table_definition.h"

#include <algorithm>
#include <set>

#include "jet/jet_column_rules.h"
#include "jet/jet_error.h"
#include "jet/jet_value_decoding.h"

namespace {

[[noreturn]] void Damaged() { throw EJetError(u"The definition of the table is damaged."); }

}  // namespace

JetTableDefinition::JetTableDefinition(const JetFormat& format, std::string_view bytes, int codePage) {
  const std::string copy(bytes);
  *this = Parse(format, copy, [&](size_t n) { return n <= copy.size(); }, codePage);
}

JetTableDefinition JetTableDefinition::Parse(const JetFormat& f, const std::string& bytes,
                                             const std::function<bool(size_t)>& need, int codePage) {
  // The bytes [offset, offset + length), made available by `need`.
  auto at = [&](size_t offset, size_t length) {
    if (offset + length < offset || !need(offset + length)) Damaged();
    return std::string_view(bytes).substr(offset, length);
  };
  auto u16 = [&](size_t offset) { return JetReadLE<uint16_t>(at(offset, 2), 0); };
  auto u32 = [&](size_t offset) { return JetReadLE<uint32_t>(at(offset, 4), 0); };
  auto header = [](int offset) { return static_cast<size_t>(offset); };
  JetTableDefinition d;
  d.rowCount_ = u32(header(f.definitionRowCount));
  d.maxColumns_ = u16(header(f.definitionMaxColumns));
  d.variableColumns_ = u16(header(f.definitionVariableColumns));
  const size_t count = u16(header(f.definitionColumnCount));
  const uint64_t realIndexes = u32(header(f.definitionRealIndexCount));
  d.usedPagesMap_ = u32(header(f.definitionUsedPagesMap));

  const uint64_t first = static_cast<uint64_t>(f.definitionFirstRealIndex) + realIndexes * f.realIndexEntrySize;
  if (first > UINT32_MAX) Damaged();
  size_t next = static_cast<size_t>(first);
  d.columns_.resize(count);
  for (Column& c : d.columns_) {
    c = ReadColumnEntry(f, at(next, static_cast<size_t>(f.columnEntrySize)));
    next += static_cast<size_t>(f.columnEntrySize);
  }
  for (Column& c : d.columns_) {
    const size_t length = f.columnNameLengthSize == 1 ? JetByte(at(next, 1), 0) : u16(next);
    next += static_cast<size_t>(f.columnNameLengthSize);
    const std::string_view name = at(next, length);
    next += length;
    c.name = f.jet3 ? DecodeJet3Text(name, codePage) : DecodeJet4Text(name);
  }
  // Each column alone, then the numbers and variable indexes that no two
  // columns may share.
  std::set<int> numbers, variableIndexes;
  for (const Column& c : d.columns_) {
    if (!JetColumnIsWellFormed(f, c, d.maxColumns_) || !numbers.insert(c.number).second ||
        (!c.fixed && !variableIndexes.insert(c.variableIndex).second))
      throw EJetError(FormatText(u"The definition of column '%s' is damaged.", {c.name}));
  }
  // Access writes the entries in name order; rows keep them in number order.
  std::stable_sort(d.columns_.begin(), d.columns_.end(),
                   [](const Column& a, const Column& b) { return a.number < b.number; });
  return d;
}

JetTableDefinition::Column JetTableDefinition::ReadColumnEntry(const JetFormat& f, std::string_view e) {
  Column c;
  c.type = JetByte(e, 0);
  c.number = JetReadLE<uint16_t>(e, f.columnNumber);
  c.variableIndex = JetReadLE<uint16_t>(e, f.columnVariableIndex);
  c.flags = JetByte(e, f.columnFlags);
  c.fixed = (c.flags & kJetColumnFixed) != 0;
  c.fixedOffset = JetReadLE<uint16_t>(e, f.columnFixedOffset);
  c.size = JetReadLE<uint16_t>(e, f.columnSize);
  if (f.columnExtraFlags >= 0) c.extraFlags = JetByte(e, f.columnExtraFlags);
  c.calculated = (c.extraFlags & kJetColumnCalculated) != 0;
  c.resultType = c.type;
  if (c.type == kJetNumeric) {
    c.precision = JetByte(e, f.columnPrecision);
    c.scale = JetByte(e, f.columnScale);
  }
  if (c.type == kJetComplex && f.columnComplexId >= 0) c.complexId = JetReadLE<int32_t>(e, f.columnComplexId);
  return c;
}

JetTableDefinition JetTableDefinition::OfColumns(std::vector<Column> columns, int maxColumns) {
  std::stable_sort(columns.begin(), columns.end(), [](const Column& a, const Column& b) { return a.number < b.number; });
  JetTableDefinition d;
  d.maxColumns_ = maxColumns;
  d.variableColumns_ =
      static_cast<int>(std::count_if(columns.begin(), columns.end(), [](const Column& c) { return !c.fixed; }));
  d.columns_ = std::move(columns);
  return d;
}

JetTableDefinition JetTableDefinition::Read(const JetFormat& format, uint32_t firstPage, int codePage,
                                            const PageReader& readPage) {
  std::string bytes;
  std::string page;
  std::set<uint32_t> seen;
  uint32_t next = firstPage;
  auto need = [&](size_t n) {
    while (bytes.size() < n) {
      if (next == 0) return false;
      if (!seen.insert(next).second || !readPage(next, page) || page.size() <= kJetDefinitionContinuation ||
          JetByte(page, 0) != kJetTableDefinitionPage)
        Damaged();
      const size_t from = bytes.empty() ? 0 : kJetDefinitionContinuation;
      bytes.append(page, from, std::string::npos);
      next = JetReadLE<uint32_t>(page, kJetDefinitionNextPage);
    }
    return true;
  };
  if (!need(1)) Damaged();
  return Parse(format, bytes, need, codePage);
}

void JetTableDefinition::SetResultType(size_t column, int type) {
  // The kinds Access lets an expression give.
  static constexpr int kResultTypes[] = {kJetBoolean, kJetByte,     kJetInteger, kJetLong, kJetCurrency, kJetSingle,
                                         kJetDouble,  kJetDateTime, kJetText,    kJetMemo, kJetGuid,     kJetNumeric};
  Column& c = columns_.at(column);
  if (!c.calculated || std::find(std::begin(kResultTypes), std::end(kResultTypes), type) == std::end(kResultTypes))
    throw EJetError(FormatText(u"The definition of column '%s' is damaged.", {c.name}));
  c.resultType = type;
  c.resultTypeFromProperty = true;
}
