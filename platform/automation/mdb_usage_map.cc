#include "platform/automation/mdb_usage_map.h"

#include <algorithm>

#include "runtime/exceptions.h"

namespace {

constexpr unsigned char kTableDefinitionPage = 0x02;
constexpr unsigned char kUsageMapPage = 0x05;
constexpr size_t kInlineHeader = 5;  // type byte, first page number
constexpr int kMapPageHeader = 4;

uint32_t ReadU32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}

[[noreturn]] void Damaged() { throw EOleError(u"The usage map of the table is damaged."); }

}  // namespace

MdbUsageMap::MdbUsageMap(const MdbPageReader& pages, uint32_t tableDefinitionPage) : pages_(pages) {
  std::vector<unsigned char> definition;
  if (tableDefinitionPage == 0 || !pages.Read(tableDefinitionPage, definition) ||
      definition[0] != kTableDefinitionPage)
    throw EOleError(u"The definition of the table is damaged.");

  std::vector<unsigned char> rowPage;
  auto mapRow = [&](uint32_t pointer) {
    if (!pages.Read(pointer >> 8, rowPage)) Damaged();
    std::optional<MdbPageReader::Row> row = pages.FindRow(rowPage.data(), pointer & 0xFF);
    if (!row || row->deleted) Damaged();
    return std::vector<unsigned char>(rowPage.begin() + row->start, rowPage.begin() + row->end);
  };
  // libmdb only copies the free-space map, but it takes the row's bounds on trust.
  mapRow(ReadU32(definition.data() + pages.FreeMapPointerOffset()));
  map_ = mapRow(ReadU32(definition.data() + pages.UsageMapPointerOffset()));
  if (map_.empty() || map_[0] > 1 || (map_[0] == 0 && map_.size() < kInlineHeader)) Damaged();
}

bool MdbUsageMap::Listed(uint32_t page) {
  if (map_[0] == 0) {
    const uint32_t first = ReadU32(map_.data() + 1);
    if (page < first) return false;
    const uint64_t bit = page - first;
    if (bit >= (map_.size() - kInlineHeader) * 8) return false;
    return (map_[kInlineHeader + bit / 8] >> (bit % 8)) & 1;
  }
  const uint32_t bitsPerMapPage = static_cast<uint32_t>(pages_.PageSize() - kMapPageHeader) * 8;
  const uint32_t index = page / bitsPerMapPage;
  const uint32_t bit = page % bitsPerMapPage;
  if (index != mapPageIndex_) {
    const uint32_t mapPage = ReadU32(map_.data() + 1 + 4 * index);
    mapPageIndex_ = index;
    if (mapPage == 0) {
      mapPage_.clear();
    } else if (!pages_.Read(mapPage, mapPage_) || mapPage_[0] != kUsageMapPage) {
      mapPageIndex_ = UINT32_MAX;
      Damaged();
    }
  }
  if (mapPage_.empty()) return false;
  return (mapPage_[kMapPageHeader + bit / 8] >> (bit % 8)) & 1;
}

uint32_t MdbUsageMap::Next(uint32_t page) {
  // Every page the map can describe, bounded by what the map row holds.
  uint64_t limit;
  if (map_[0] == 0) {
    limit = static_cast<uint64_t>(ReadU32(map_.data() + 1)) + (map_.size() - kInlineHeader) * 8;
  } else {
    const uint64_t bitsPerMapPage = static_cast<uint64_t>(pages_.PageSize() - kMapPageHeader) * 8;
    limit = (map_.size() - 1) / 4 * bitsPerMapPage;
  }
  limit = std::min<uint64_t>(limit, UINT32_MAX);
  for (uint64_t p = static_cast<uint64_t>(page) + 1; p < limit; ++p) {
    if (map_[0] == 1) {
      // Skip the range of a map page that is not there in one step.
      const uint64_t bitsPerMapPage = static_cast<uint64_t>(pages_.PageSize() - kMapPageHeader) * 8;
      if (ReadU32(map_.data() + 1 + 4 * (p / bitsPerMapPage)) == 0) {
        p = (p / bitsPerMapPage + 1) * bitsPerMapPage - 1;
        continue;
      }
    }
    if (!Listed(static_cast<uint32_t>(p))) continue;
    if (p >= pages_.PageCount()) Damaged();  // the file ends before a page the table owns
    return static_cast<uint32_t>(p);
  }
  return 0;
}
