// Where each column's value lies in one row of a table.
//
// A row: the count of its columns (1 byte in Jet 3, 2 in Jet 4), the fixed
// columns at their offsets, the variable columns one after the other, and
// at its end, read backwards: the null mask (one bit per column number, 1 =
// present; (count + 7) / 8 bytes), the number of variable columns (1 or 2
// bytes) and their offsets, the end of the data last. Jet 4 keeps 2-byte
// offsets; Jet 3 keeps 1-byte offsets and, for rows longer than 256 bytes,
// a jump table: for every 256 bytes the offsets pass, the index of the
// first variable column beyond that mark. A row written before columns were
// added has fewer of them: a column it lacks reads as null.
//
// Built once per table from its definition; Split() costs a pass over the
// columns and allocates nothing once `cells` and its scratch have their size.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "jet/jet_format.h"
#include "jet/jet_table_definition.h"

// One column's value in a row: the bytes [start, start + size) of the page.
struct JetCell {
  int start = 0;
  int size = 0;
  bool null = true;  // for Yes/No columns, whose bit is the value: false
  // The null mask contradicts the row's variable part: it marks the cell
  // absent while the cell holds bytes, or present where the row stops before
  // the column. Access writes neither; damage to the row's tables does.
  bool maskDisagrees = false;
};

class JetRowLayout {
 public:
  JetRowLayout(const JetFormat& format, const JetTableDefinition& definition);

  // Splits the row that occupies bytes [start, end) of `page` into one cell
  // per column of the definition, in its order. False when the row is
  // damaged: its tables, or a cell, lie outside it. Then `readable`, when
  // given, receives the number of columns split before the damage (0 when
  // the row's tables are damaged); their cells are set.
  bool Split(std::string_view page, int start, int end, std::vector<JetCell>& cells, size_t* readable = nullptr);

 private:
  // Fills offsets_ with the row's `count` + 1 variable offsets (relative to
  // the row) and returns where the tables at its end begin; -1 when they do
  // not fit in the row.
  int VariableOffsets(std::string_view page, int start, int end, int maskSize, unsigned count);

  struct Column {
    int number;
    bool fixed;
    int fixedOffset;
    int size;
    unsigned variableIndex;
    bool bitOnly;  // Yes/No: the null mask's bit is the value
  };
  const JetFormat& format_;
  std::vector<Column> columns_;
  bool hasVariableColumns_;
  std::vector<int> offsets_;  // scratch for Split
};
