// One row of a table as far as a salvage scan (jet_salvage_scan.h) could
// decode it: each column read whole, cut short (a long value whose chain
// breaks: the bytes before the break), or unreadable. A value type.
#pragma once

#include <cstdint>
#include <vector>

#include "runtime/unicode_string.h"
#include "runtime/variant.h"

struct JetPartialRow {
  enum class State { kRead, kCut, kUnreadable };
  struct Cell {
    State state = State::kUnreadable;
    Variant value = Variant::Null();  // kRead and kCut; Null when unreadable
    UnicodeString damage;  // kCut and kUnreadable: what was found
  };
  uint32_t page = 0;        // where the row (or its overflow pointer) lies
  unsigned row = 0;
  std::vector<Cell> cells;  // one per column of the table, in its order

  bool Whole() const {
    for (const Cell& c : cells)
      if (c.state != State::kRead) return false;
    return true;
  }
};
