// The bytes of a table definition as the format lays it out, for the
// reader's tests: a header, the real-index entries, the column entries, then
// the names. Only what the reader looks at is filled in.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "jet/jet_format.h"

namespace jet_test {

struct Entry {
  uint8_t type;
  uint16_t number;
  uint16_t variableIndex;
  uint8_t flags;
  uint16_t fixedOffset;
  uint16_t size;
  std::string name;   // ASCII
  uint8_t byte11 = 0;  // Jet 4: precision, or the complex id's low byte
  uint8_t byte12 = 0;  // Jet 4: scale
  uint8_t extraFlags = 0;
};

inline void Put16(std::string& s, size_t at, unsigned v) {
  s[at] = static_cast<char>(v & 0xFF);
  s[at + 1] = static_cast<char>(v >> 8);
}

// A definition as the format lays it out: header, `realIndexes` index
// entries, the column entries, then the names.
inline std::string Definition(const JetFormat& f, const std::vector<Entry>& entries, uint32_t realIndexes = 0,
                       int columnCount = -1) {
  std::string d(static_cast<size_t>(f.definitionFirstRealIndex), '\0');
  d[0] = 0x02;
  Put16(d, static_cast<size_t>(f.definitionRowCount), 1234);
  Put16(d, static_cast<size_t>(f.definitionMaxColumns), static_cast<unsigned>(entries.size()));
  unsigned variable = 0;
  for (const Entry& e : entries) variable += (e.flags & 0x01) ? 0 : 1;
  Put16(d, static_cast<size_t>(f.definitionVariableColumns), variable);
  Put16(d, static_cast<size_t>(f.definitionColumnCount),
        columnCount < 0 ? static_cast<unsigned>(entries.size()) : static_cast<unsigned>(columnCount));
  for (int k = 0; k < 4; ++k) d[static_cast<size_t>(f.definitionRealIndexCount + k)] = static_cast<char>(realIndexes >> (8 * k));
  d += std::string(realIndexes * static_cast<size_t>(f.realIndexEntrySize), '\x11');
  for (const Entry& e : entries) {
    std::string c(static_cast<size_t>(f.columnEntrySize), '\0');
    c[0] = static_cast<char>(e.type);
    Put16(c, static_cast<size_t>(f.columnNumber), e.number);
    Put16(c, static_cast<size_t>(f.columnVariableIndex), e.variableIndex);
    c[static_cast<size_t>(f.columnFlags)] = static_cast<char>(e.flags);
    Put16(c, static_cast<size_t>(f.columnFixedOffset), e.fixedOffset);
    Put16(c, static_cast<size_t>(f.columnSize), e.size);
    if (!f.jet3) {
      c[11] = static_cast<char>(e.byte11);
      c[12] = static_cast<char>(e.byte12);
      c[static_cast<size_t>(f.columnExtraFlags)] = static_cast<char>(e.extraFlags);
    }
    d += c;
  }
  for (const Entry& e : entries) {
    if (f.jet3) {
      d += static_cast<char>(e.name.size());
      d += e.name;
    } else {
      d += static_cast<char>(2 * e.name.size());
      d += '\0';
      for (char ch : e.name) d += std::string{ch, '\0'};
    }
  }
  return d + "\xFF\xFF";
}

}  // namespace jet_test
