#include "tools/accessdb/usage_map.h"

#include <stdexcept>

#include "tools/accessdb/page_file.h"

namespace accessdb {

void PageSet::Add(std::uint32_t page) {
  if (Contains(page)) return;
  if (page / 8 >= bits_.size()) bits_.resize(page / 8 + 1024, 0);
  bits_[page / 8] |= static_cast<std::uint8_t>(1u << (page % 8));
  if (count_ == 0 || page < first_) first_ = page;
  if (count_ == 0 || page > last_) last_ = page;
  ++count_;
}

bool PageSet::Contains(std::uint32_t page) const {
  return page / 8 < bits_.size() && (bits_[page / 8] >> (page % 8) & 1) != 0;
}

Bytes BuildUsageMap(const JetFormat& format, const PageSet& pages, PageFile& file) {
  Bytes row(format.usage_map_row_size, 0);
  const std::uint32_t inline_bits = static_cast<std::uint32_t>(format.inline_map_bits());
  if (pages.empty() || pages.last() - pages.first() < inline_bits) {
    const std::uint32_t start = pages.empty() ? 0 : pages.first();
    row[0] = 0;
    Put32(&row[1], start);
    if (!pages.empty()) {
      for (std::uint32_t p = start; p <= pages.last(); ++p) {
        if (pages.Contains(p)) row[5 + (p - start) / 8] |= static_cast<std::uint8_t>(1u << ((p - start) % 8));
      }
    }
    return row;
  }
  const std::uint32_t per_page = static_cast<std::uint32_t>(format.map_page_bits());
  if (pages.last() / per_page >= static_cast<std::uint32_t>(format.usage_map_pages)) {
    throw std::runtime_error("usage map cannot cover the pages of this file");
  }
  row[0] = 1;
  Bytes map_page(format.page_size);
  for (std::uint32_t k = pages.first() / per_page; k <= pages.last() / per_page; ++k) {
    std::fill(map_page.begin(), map_page.end(), 0);
    map_page[0] = kPageUsageMap;
    map_page[1] = 0x01;
    bool any = false;
    for (std::uint32_t i = 0; i < per_page; ++i) {
      if (pages.Contains(k * per_page + i)) {
        map_page[4 + i / 8] |= static_cast<std::uint8_t>(1u << (i % 8));
        any = true;
      }
    }
    if (!any) continue;
    const std::uint32_t page = file.Allocate();
    file.Write(page, View(map_page));
    Put32(&row[1 + 4 * k], page);
  }
  return row;
}

}  // namespace accessdb
