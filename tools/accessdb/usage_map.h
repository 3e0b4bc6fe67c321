// Usage maps: which pages belong to a table or to a long-value column.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/accessdb/byte_buffer.h"
#include "tools/accessdb/jet_format.h"

namespace accessdb {

class PageFile;

// A set of page numbers, one bit per page of the file (at most 64 KB for the
// largest Jet 4 file).
class PageSet {
 public:
  void Add(std::uint32_t page);
  bool Contains(std::uint32_t page) const;
  bool empty() const { return count_ == 0; }
  std::uint32_t first() const { return first_; }
  std::uint32_t last() const { return last_; }
  std::uint64_t size() const { return count_; }

 private:
  std::vector<std::uint8_t> bits_;
  std::uint32_t first_ = 0, last_ = 0;
  std::uint64_t count_ = 0;
};

// Builds the usage-map row for `pages`. Pages within one inline range go into an
// inline map (type 0: start page and bitmap); otherwise a reference map (type 1)
// lists usage-map pages, which this call writes to `file`. Throws
// std::runtime_error when the pages lie beyond what a reference map can cover.
Bytes BuildUsageMap(const JetFormat& format, const PageSet& pages, PageFile& file);

}  // namespace accessdb
