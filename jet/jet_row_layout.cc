#include "jet/jet_row_layout.h"

JetRowLayout::JetRowLayout(const JetFormat& format, const JetTableDefinition& definition)
    : format_(format), hasVariableColumns_(definition.VariableColumnCount() > 0) {
  for (const JetTableDefinition::Column& c : definition.Columns()) {
    const bool bitOnly = c.type == kJetBoolean && !c.calculated;
    columns_.push_back(Column{c.number, c.fixed, c.fixedOffset, bitOnly ? 0 : c.size,
                              static_cast<unsigned>(c.variableIndex), bitOnly});
  }
}

bool JetRowLayout::Split(std::string_view page, int start, int end, std::vector<JetCell>& cells, size_t* readable) {
  if (readable) *readable = 0;
  const int countSize = format_.rowColumnCountSize;
  if (end - start < countSize) return false;
  const unsigned rowColumns = countSize == 1 ? JetByte(page, start) : JetReadLE<uint16_t>(page, start);
  const int maskSize = static_cast<int>((rowColumns + 7) / 8);
  const int dataStart = start + countSize;
  int dataEnd = end - maskSize;  // where the tables at the row's end begin
  if (dataEnd < dataStart) return false;
  const int maskAt = dataEnd;

  unsigned variableCount = 0;
  if (hasVariableColumns_) {
    const int countAt = dataEnd - countSize;
    if (countAt < dataStart) return false;
    variableCount = countSize == 1 ? JetByte(page, countAt) : JetReadLE<uint16_t>(page, countAt);
    if (variableCount > rowColumns) return false;
    dataEnd = VariableOffsets(page, start, end, maskSize, variableCount);
    if (dataEnd < dataStart) return false;
  }

  // The row's fixed columns are the first ones of the table's, in number
  // order; a row written before more were added has fewer.
  const unsigned fixedCount = rowColumns - variableCount;
  unsigned fixedFound = 0;
  cells.resize(columns_.size());
  for (size_t i = 0; i < columns_.size(); ++i) {
    const Column& c = columns_[i];
    JetCell& cell = cells[i];
    const int byte = c.number / 8;
    cell.null = byte >= maskSize || ((JetByte(page, maskAt + byte) >> (c.number % 8)) & 1) == 0;
    cell.maskDisagrees = false;
    if (c.fixed && fixedFound < fixedCount) {
      ++fixedFound;
      cell.start = dataStart + c.fixedOffset;
      cell.size = c.size;
    } else if (!c.fixed && c.variableIndex < variableCount) {
      cell.start = start + offsets_[c.variableIndex];
      cell.size = offsets_[c.variableIndex + 1] - offsets_[c.variableIndex];
      cell.maskDisagrees = cell.null && cell.size > 0;
    } else {
      const bool markedPresent = !cell.null && !c.fixed;
      cell = JetCell{};
      cell.maskDisagrees = markedPresent;
      continue;
    }
    if (c.bitOnly) continue;  // nothing of it is read
    if (cell.size < 0 || cell.start < dataStart || cell.start + cell.size > dataEnd) {
      if (readable) *readable = i;
      return false;
    }
  }
  if (readable) *readable = columns_.size();
  return true;
}

int JetRowLayout::VariableOffsets(std::string_view page, int start, int end, int maskSize, unsigned count) {
  offsets_.resize(count + 1);
  const int countSize = format_.rowColumnCountSize;
  if (countSize == 2) {
    // Jet 4: 2-byte offsets before the count, the first variable column's nearest.
    const int first = end - maskSize - 2 - 2;
    const int lowest = first - 2 * static_cast<int>(count);
    if (lowest < start + countSize) return -1;
    for (unsigned i = 0; i <= count; ++i) offsets_[i] = JetReadLE<uint16_t>(page, first - 2 * static_cast<int>(i));
    return lowest;
  }
  // Jet 3: 1-byte offsets before the jump table, which lies before the count.
  // A row has (length - 1) / 256 jump entries, one fewer when the data ends
  // below the last 256-byte mark (a dummy entry).
  const int countAt = end - maskSize - 1;
  int jumps = (end - start - 1) / 256;
  const int first = countAt - jumps - 1;
  const int lowest = first - static_cast<int>(count);
  if (lowest < start + countSize) return -1;
  if ((lowest - start) / 256 < jumps) --jumps;
  int used = 0;
  for (unsigned i = 0; i <= count; ++i) {
    while (used < jumps && JetByte(page, countAt - 1 - used) == i) ++used;
    offsets_[i] = JetByte(page, first - static_cast<int>(i)) + 256 * used;
  }
  return lowest;
}
