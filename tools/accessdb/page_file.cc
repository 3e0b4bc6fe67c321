#include "tools/accessdb/page_file.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace accessdb {
namespace {

std::runtime_error IoError(const std::string& what, const std::string& path) {
  return std::runtime_error(what + " " + path + ": " + std::strerror(errno));
}

}  // namespace

PageFile::PageFile(const std::string& path, int page_size) : path_(path), page_size_(page_size) {
  file_ = std::fopen(path.c_str(), "wb");
  if (file_ == nullptr) throw IoError("cannot create", path);
  std::setvbuf(file_, nullptr, _IOFBF, 1 << 20);
}

PageFile::~PageFile() {
  if (file_ != nullptr) {
    std::fclose(file_);
    std::remove(path_.c_str());
  }
}

std::uint32_t PageFile::Allocate() {
  // Jet 4 files end at 2 GB, Jet 3 files at 1 GB.
  const std::uint64_t limit = (page_size_ == 4096 ? 2048ull : 1024ull) << 20;
  if (static_cast<std::uint64_t>(next_page_ + 1) * page_size_ > limit) {
    throw std::runtime_error("database file would exceed its format's size limit");
  }
  return next_page_++;
}

void PageFile::Write(std::uint32_t page, std::string_view data) {
  if (page >= next_page_) throw std::logic_error("page written before it was allocated");
  if (data.size() != static_cast<size_t>(page_size_)) throw std::logic_error("page of the wrong size");
  const std::uint64_t offset = static_cast<std::uint64_t>(page) * page_size_;
  if (offset != position_) {
    if (std::fseek(file_, static_cast<long>(offset), SEEK_SET) != 0) throw IoError("cannot seek in", path_);
  }
  if (std::fwrite(data.data(), 1, data.size(), file_) != static_cast<size_t>(page_size_)) {
    throw IoError("cannot write", path_);
  }
  position_ = offset + page_size_;
  ++pages_written_;
}

void PageFile::Close() {
  if (pages_written_ < next_page_) {
    throw std::logic_error("database closed with pages allocated but not written");
  }
  std::FILE* f = file_;
  file_ = nullptr;
  if (std::fclose(f) != 0) throw IoError("cannot write", path_);
}

}  // namespace accessdb
