// One data page being filled with rows: table rows, long-value rows ("LVAL"
// pages) or usage-map rows. Rows are laid from the end of the page backwards;
// the row offsets follow the page header.
#pragma once

#include <cstdint>

#include "tools/accessdb/byte_buffer.h"
#include "tools/accessdb/jet_format.h"

namespace accessdb {

class DataPage {
 public:
  static constexpr std::uint32_t kLongValueOwner = 0x4C41564C;  // "LVAL" read as an integer

  // `owner`: the table definition page, kLongValueOwner, or 0 (usage maps).
  DataPage(const JetFormat& format, std::uint32_t page_number, std::uint32_t owner);

  bool Fits(size_t row_size) const;
  // Appends a row and returns its number on the page. The row must fit.
  int Add(std::string_view row);
  int row_count() const { return rows_; }
  std::uint32_t page_number() const { return page_number_; }
  std::string_view bytes() const { return View(page_); }
  // Page pointer of a row: page number in the upper three bytes, row in the lowest.
  static std::uint32_t Pointer(std::uint32_t page, int row) { return page << 8 | static_cast<std::uint32_t>(row); }

 private:
  const JetFormat& format_;
  std::uint32_t page_number_;
  Bytes page_;
  int rows_ = 0;
  int free_ = 0;       // bytes left for rows and their offsets
  int row_start_ = 0;  // where the last row added starts
};

}  // namespace accessdb
