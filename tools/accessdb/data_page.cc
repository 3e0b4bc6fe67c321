#include "tools/accessdb/data_page.h"

#include <cstring>
#include <stdexcept>

namespace accessdb {

DataPage::DataPage(const JetFormat& format, std::uint32_t page_number, std::uint32_t owner)
    : format_(format), page_number_(page_number), page_(format.page_size, 0) {
  page_[0] = kPageData;
  page_[1] = 0x01;
  Put32(&page_[4], owner);
  free_ = format.data_page_space();
  row_start_ = format.page_size;
  Put16(&page_[2], static_cast<std::uint32_t>(free_));
}

bool DataPage::Fits(size_t row_size) const {
  return rows_ < kMaxRowsPerPage && row_size + 2 <= static_cast<size_t>(free_);
}

int DataPage::Add(std::string_view row) {
  const size_t size = row.size();
  if (!Fits(size)) throw std::logic_error("row does not fit its page");
  row_start_ -= static_cast<int>(size);
  if (size > 0) std::memcpy(&page_[row_start_], row.data(), size);
  Put16(&page_[format_.data_row_count_offset + 2 + 2 * rows_], static_cast<std::uint32_t>(row_start_));
  ++rows_;
  free_ -= static_cast<int>(size) + 2;
  Put16(&page_[format_.data_row_count_offset], static_cast<std::uint32_t>(rows_));
  Put16(&page_[2], static_cast<std::uint32_t>(free_));
  return rows_ - 1;
}

}  // namespace accessdb
