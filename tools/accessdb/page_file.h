// The output file as an array of pages: numbers are handed out in order, and
// pages may be written in any order once their content is final.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace accessdb {

class PageFile {
 public:
  // Creates (truncates) `path`; throws std::runtime_error when it cannot.
  PageFile(const std::string& path, int page_size);
  // Closes the file. Without Close(), the destructor also removes it: an
  // unfinished database is never left behind looking valid.
  ~PageFile();
  PageFile(const PageFile&) = delete;
  PageFile& operator=(const PageFile&) = delete;

  std::uint32_t Allocate();  // the next free page number
  std::uint32_t page_count() const { return next_page_; }
  // Writes one whole page (page_size bytes). Throws std::runtime_error on I/O errors.
  void Write(std::uint32_t page, std::string_view data);
  void Close();  // checks that every allocated page was written

 private:
  std::string path_;
  int page_size_;
  std::FILE* file_ = nullptr;
  std::uint32_t next_page_ = 0;
  std::uint64_t position_ = 0;  // where the stream stands, to skip needless seeks
  std::uint64_t pages_written_ = 0;
};

}  // namespace accessdb
