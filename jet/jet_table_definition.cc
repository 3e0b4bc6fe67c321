#include "jet/jet_table_definition.h"

#include <cstring>
#include <set>

namespace {

// Jet 4 table definition layout.
constexpr size_t kColumnCount = 45;     // 2 bytes
constexpr size_t kRealIndexCount = 51;  // 4 bytes
constexpr size_t kFirstEntry = 63;      // after the header: 12 bytes per real index, then the columns
constexpr size_t kRealIndexEntry = 12;
constexpr size_t kColumnEntry = 25;
// Offsets within a column entry.
constexpr size_t kType = 0, kNumber = 5, kPrecision = 11, kScale = 12, kComplexId = 11, kExtraFlags = 16;
constexpr uint8_t kCalculatedFlags = 0xC0;
// A definition longer than this many pages is taken as damaged.
constexpr int kMaxPages = 64;

uint32_t ReadLE(std::string_view b, size_t at, size_t bytes) {
  uint32_t v = 0;
  for (size_t k = 0; k < bytes; ++k) v |= static_cast<uint32_t>(static_cast<uint8_t>(b[at + k])) << (8 * k);
  return v;
}

}  // namespace

JetTableDefinition::JetTableDefinition(std::string_view d) {
  if (d.size() < kFirstEntry) return;
  const size_t count = ReadLE(d, kColumnCount, 2);
  const size_t realIndexes = ReadLE(d, kRealIndexCount, 4);
  if (realIndexes > d.size() / kRealIndexEntry) return;
  size_t at = kFirstEntry + realIndexes * kRealIndexEntry;
  for (size_t i = 0; i < count && at + kColumnEntry <= d.size(); ++i, at += kColumnEntry) {
    std::string_view e = d.substr(at, kColumnEntry);
    Column c;
    c.jetType = static_cast<uint8_t>(e[kType]);
    c.number = static_cast<uint8_t>(e[kNumber]);
    c.precision = static_cast<uint8_t>(e[kPrecision]);
    c.scale = static_cast<uint8_t>(e[kScale]);
    c.calculated = (static_cast<uint8_t>(e[kExtraFlags]) & kCalculatedFlags) != 0;
    c.complexId = static_cast<int32_t>(ReadLE(e, kComplexId, 4));
    columns_.push_back(c);
  }
}

JetTableDefinition JetTableDefinition::Read(uint32_t page, const PageReader& readPage) {
  constexpr char kTableDefinitionPage = 0x02;
  std::string bytes, current;
  std::set<uint32_t> seen;
  for (int n = 0; page != 0 && n < kMaxPages && seen.insert(page).second; ++n) {
    if (!readPage(page, current) || current.size() < 8 || current[0] != kTableDefinitionPage) break;
    bytes.append(n == 0 ? current : current.substr(8));
    page = ReadLE(current, 4, 4);
  }
  return JetTableDefinition(bytes);
}

const JetTableDefinition::Column* JetTableDefinition::Find(int number) const {
  for (const Column& c : columns_)
    if (c.number == number) return &c;
  return nullptr;
}
