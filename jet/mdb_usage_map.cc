#include "jet/mdb_usage_map.h"

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

// The bitmap that covers `page`: its bits, the page of its first bit and its
// number of bits. False when no bitmap covers it (an indirect map without a
// map page for that range); `first` and `count` still give the range.
bool MdbUsageMap::Bitmap(uint64_t page, const unsigned char*& bits, uint64_t& first, uint64_t& count) {
  if (map_[0] == 0) {
    bits = map_.data() + kInlineHeader;
    first = ReadU32(map_.data() + 1);
    count = (map_.size() - kInlineHeader) * 8;
    return true;
  }
  count = static_cast<uint64_t>(pages_.PageSize() - kMapPageHeader) * 8;
  const uint64_t index = page / count;
  first = index * count;
  if (index != mapPageIndex_) {
    const uint32_t mapPage = ReadU32(map_.data() + 1 + 4 * index);
    mapPageIndex_ = UINT32_MAX;
    mapPage_.clear();
    if (mapPage != 0 && (!pages_.Read(mapPage, mapPage_) || mapPage_[0] != kUsageMapPage)) Damaged();
    mapPageIndex_ = static_cast<uint32_t>(index);
  }
  if (mapPage_.empty()) return false;  // no map page: no bits to point at
  bits = mapPage_.data() + kMapPageHeader;
  return true;
}

uint32_t MdbUsageMap::Next(uint32_t page) {
  // The pages the map can describe; for an indirect map only up to the end
  // of the bitmap that covers the file's last page (a map page further on
  // could only list pages the file does not have).
  uint64_t end;
  if (map_[0] == 0) {
    end = static_cast<uint64_t>(ReadU32(map_.data() + 1)) + (map_.size() - kInlineHeader) * 8;
  } else {
    const uint64_t bitsPerMapPage = static_cast<uint64_t>(pages_.PageSize() - kMapPageHeader) * 8;
    end = std::min<uint64_t>((map_.size() - 1) / 4, pages_.PageCount() / bitsPerMapPage + 1) * bitsPerMapPage;
  }
  end = std::min<uint64_t>(end, UINT32_MAX);
  uint64_t p = static_cast<uint64_t>(page) + 1;
  while (p < end) {
    const unsigned char* bits;
    uint64_t first, count;
    const bool covered = Bitmap(p, bits, first, count);
    if (p < first) p = first;
    if (covered) {
      for (uint64_t i = p - first; i < count;) {
        const unsigned byte = bits[i / 8] >> (i % 8);
        if (byte == 0) {  // no page in the rest of this byte
          i = (i / 8 + 1) * 8;
          continue;
        }
        if (byte & 1) {
          const uint64_t found = first + i;
          if (found >= pages_.PageCount()) Damaged();  // the file ends before a page the table owns
          return static_cast<uint32_t>(found);
        }
        ++i;
      }
    }
    p = first + count;
  }
  return 0;
}
