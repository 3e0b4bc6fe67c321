#include "jet/jet_usage_map.h"

#include <algorithm>

#include "jet/jet_data_page.h"

namespace {

constexpr size_t kInlineHeader = 5;  // type byte, first page number
constexpr int kMapPageHeader = 4;

[[noreturn]] void Damaged() { throw EJetError(u"The usage map of the table is damaged."); }

}  // namespace

JetUsageMap::JetUsageMap(const JetFile& file, uint32_t pointer) : file_(file) {
  std::string page;
  if (!file.ReadPage(JetPointerPage(pointer), page)) Damaged();
  std::optional<JetDataPage::Row> row = JetDataPage(file.Format(), page).FindRow(JetPointerRow(pointer));
  if (!row || row->overflowPointer) Damaged();
  map_.assign(page, static_cast<size_t>(row->start), static_cast<size_t>(row->size()));
  if (map_.empty() || JetByte(map_, 0) > 1 || (JetByte(map_, 0) == 0 && map_.size() < kInlineHeader)) Damaged();
}

// The bitmap that covers `page`: its bits, the page of its first bit and its
// number of bits. False when no bitmap covers it (an indirect map without a
// map page for that range); `first` and `count` still give the range.
bool JetUsageMap::Bitmap(uint64_t page, std::string_view& bits, uint64_t& first, uint64_t& count) {
  if (JetByte(map_, 0) == 0) {
    bits = std::string_view(map_).substr(kInlineHeader);
    first = JetReadLE<uint32_t>(map_, 1);
    count = (map_.size() - kInlineHeader) * 8;
    return true;
  }
  count = static_cast<uint64_t>(file_.PageSize() - kMapPageHeader) * 8;
  const uint64_t index = page / count;
  first = index * count;
  if (index != mapPageIndex_) {
    const uint32_t mapPage = JetReadLE<uint32_t>(map_, 1 + 4 * index);
    mapPageIndex_ = UINT32_MAX;
    mapPage_.clear();
    if (mapPage != 0 && (!file_.ReadPage(mapPage, mapPage_) || JetByte(mapPage_, 0) != kJetUsageMapPage)) Damaged();
    mapPageIndex_ = static_cast<uint32_t>(index);
  }
  if (mapPage_.empty()) return false;  // no map page: no bits to point at
  bits = std::string_view(mapPage_).substr(kMapPageHeader);
  return true;
}

uint32_t JetUsageMap::Next(uint32_t page) {
  // The pages the map can describe; for an indirect map only up to the end
  // of the bitmap that covers the file's last page (a map page further on
  // could only list pages the file does not have).
  uint64_t end;
  if (JetByte(map_, 0) == 0) {
    end = static_cast<uint64_t>(JetReadLE<uint32_t>(map_, 1)) + (map_.size() - kInlineHeader) * 8;
  } else {
    const uint64_t bitsPerMapPage = static_cast<uint64_t>(file_.PageSize() - kMapPageHeader) * 8;
    end = std::min<uint64_t>((map_.size() - 1) / 4, file_.PageCount() / bitsPerMapPage + 1) * bitsPerMapPage;
  }
  end = std::min<uint64_t>(end, UINT32_MAX);
  uint64_t p = static_cast<uint64_t>(page) + 1;
  while (p < end) {
    std::string_view bits;
    uint64_t first, count;
    const bool covered = Bitmap(p, bits, first, count);
    if (p < first) p = first;
    if (covered) {
      for (uint64_t i = p - first; i < count;) {
        const unsigned byte = JetByte(bits, i / 8) >> (i % 8);
        if (byte == 0) {  // no page in the rest of this byte
          i = (i / 8 + 1) * 8;
          continue;
        }
        if (byte & 1) {
          const uint64_t found = first + i;
          if (found >= file_.PageCount()) Damaged();  // the file ends before a page the table owns
          return static_cast<uint32_t>(found);
        }
        ++i;
      }
    }
    p = first + count;
  }
  return 0;
}
