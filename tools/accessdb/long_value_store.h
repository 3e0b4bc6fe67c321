// Long-value pages of one memo or OLE column: values too long to stay in
// their row go to "LVAL" data pages, either as one row (up to the longest
// long-value row) or as a chain of rows, each starting with the pointer to the
// next. The store keeps one page open at a time.
#pragma once

#include <cstdint>
#include <memory>

#include "tools/accessdb/data_page.h"
#include "tools/accessdb/usage_map.h"

namespace accessdb {

class PageFile;

class LongValueStore {
 public:
  LongValueStore(const JetFormat& format, PageFile& file);

  // Stores `data` (at most kMaxLongValueLength bytes) and writes the 12-byte
  // header that the row carries in their place.
  void Write(std::string_view data, std::uint8_t* header);
  void Flush();  // writes the open page, if any
  const PageSet& pages() const { return pages_; }

 private:
  // The open page, with room for one more row of `row_size` bytes.
  DataPage& PageWithRoom(std::size_t row_size);
  std::uint32_t NewPage();

  const JetFormat& format_;
  PageFile& file_;
  std::unique_ptr<DataPage> open_;
  PageSet pages_;
  Bytes row_;
};

}  // namespace accessdb
