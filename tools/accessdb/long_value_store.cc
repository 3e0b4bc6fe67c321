#include "tools/accessdb/long_value_store.h"

#include <cstring>
#include <stdexcept>

#include "tools/accessdb/page_file.h"

namespace accessdb {

LongValueStore::LongValueStore(const JetFormat& format, PageFile& file)
    : format_(format), file_(file) {}

std::uint32_t LongValueStore::NewPage() {
  const std::uint32_t page = file_.Allocate();
  pages_.Add(page);
  return page;
}

DataPage& LongValueStore::PageWithRoom(std::size_t row_size) {
  if (!open_ || !open_->Fits(row_size)) {
    Flush();
    open_ = std::make_unique<DataPage>(format_, NewPage(), DataPage::kLongValueOwner);
  }
  return *open_;
}

void LongValueStore::Flush() {
  if (open_) {
    file_.Write(open_->page_number(), open_->bytes());
    open_.reset();
  }
}

void LongValueStore::Write(std::string_view data, std::uint8_t* header) {
  const std::size_t size = data.size();
  if (size > kMaxLongValueLength) throw std::logic_error("long value too long");
  std::memset(header, 0, kLongValueHeaderSize);
  Put24(header, static_cast<std::uint32_t>(size));
  const std::size_t max_row = static_cast<std::size_t>(format_.max_long_value_row);
  if (size <= max_row) {
    DataPage& page = PageWithRoom(size);
    const int row = page.Add(data);
    header[3] = kLongValueOneRow;
    Put32(header + 4, DataPage::Pointer(page.page_number(), row));
    return;
  }
  // A chain: full rows on pages of their own, the remainder on the open page.
  // Readers stop once the next row would pass the stated length, so the rows'
  // data add up to `size` exactly.
  const std::size_t chunk = max_row - 4;
  const std::size_t full_chunks = (size - 1) / chunk;
  const std::size_t tail = size - full_chunks * chunk;
  DataPage& tail_page = PageWithRoom(tail + 4);
  const std::uint32_t tail_pointer = DataPage::Pointer(tail_page.page_number(), tail_page.row_count());

  header[3] = kLongValueChain;
  row_.resize(max_row);
  std::uint32_t page = NewPage();
  Put32(header + 4, DataPage::Pointer(page, 0));
  for (std::size_t i = 0; i < full_chunks; ++i) {
    const bool last_full = i + 1 == full_chunks;
    const std::uint32_t next_page = last_full ? 0 : NewPage();
    Put32(&row_[0], last_full ? tail_pointer : DataPage::Pointer(next_page, 0));
    std::memcpy(&row_[4], data.data() + i * chunk, chunk);
    DataPage full(format_, page, DataPage::kLongValueOwner);
    full.Add(View(row_));
    file_.Write(page, full.bytes());
    page = next_page;
  }
  row_.resize(tail + 4);
  Put32(&row_[0], 0);
  std::memcpy(&row_[4], data.data() + full_chunks * chunk, tail);
  tail_page.Add(View(row_));
}

}  // namespace accessdb
