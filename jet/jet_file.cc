#include "jet/jet_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "jet/rc4.h"
#include "runtime/utf8.h"

namespace {

// The header page is read whole even in a Jet 3 file, whose pages are half
// as large: the version that tells the size lies inside it.
constexpr size_t kHeaderBytes = 4096;

}  // namespace

JetFile::JetFile(const UnicodeString& path) : path_(path) {
  const std::string file = ToUtf8(path);
  struct stat st;
  if (file.empty() || stat(file.c_str(), &st) != 0) throw EJetFileError(EJetFileError::kMissing, UnicodeString());
  // Only a regular file is opened, and without waiting: opening a FIFO that
  // has no writer would block for ever.
  if (!S_ISREG(st.st_mode)) throw EJetFileError(EJetFileError::kNotADatabase, UnicodeString());
  fd_ = open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd_ < 0) throw EJetFileError(EJetFileError::kUnreadable, UnicodeString());
  // A constructor that throws runs no destructor.
  try {
    if (fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode))
      throw EJetFileError(EJetFileError::kNotADatabase, UnicodeString());
    byteSize_ = static_cast<uint64_t>(st.st_size);
    // A file shorter than the header page reads as padded with zeros; what
    // it lacks then shows when the catalog is read.
    std::string header(kHeaderBytes, '\0');
    const ssize_t got = pread(fd_, header.data(), header.size(), 0);
    if (got < 0) throw EJetFileError(EJetFileError::kUnreadable, UnicodeString());
    std::optional<JetHeader> parsed = JetHeader::Parse(header);
    if (!parsed) throw EJetFileError(EJetFileError::kNotADatabase, UnicodeString());
    header_ = std::move(*parsed);
    pageCount_ = static_cast<uint32_t>(std::min<uint64_t>(byteSize_ / static_cast<uint64_t>(PageSize()), UINT32_MAX));
  } catch (...) {
    close(fd_);
    throw;
  }
}

JetFile::~JetFile() { close(fd_); }

bool JetFile::ReadPage(uint32_t page, std::string& out) const {
  const size_t size = static_cast<size_t>(PageSize());
  out.resize(size);
  if (page >= pageCount_) return false;
  char* buffer = &out[0];
  if (!ReadAheadHolds(page) && FollowsLastRead(page)) ReadAhead(page);
  if (ReadAheadHolds(page)) {
    std::memcpy(buffer, readAhead_.bytes.data() + static_cast<size_t>(page - readAhead_.first) * size, size);
  } else {
    const off_t offset = static_cast<off_t>(page) * static_cast<off_t>(size);
    if (pread(fd_, buffer, size, offset) != static_cast<ssize_t>(size)) return false;
  }
  readAhead_.lastAsked = page;
  readAhead_.asked = true;
  if (page != 0 && header_.pageKey != 0) {
    const uint32_t key = header_.pageKey ^ page;
    const char bytes[4] = {static_cast<char>(key), static_cast<char>(key >> 8), static_cast<char>(key >> 16),
                           static_cast<char>(key >> 24)};
    Rc4Crypt(std::string_view(bytes, 4), reinterpret_cast<uint8_t*>(buffer), size);
  }
  return true;
}

bool JetFile::ReadAheadHolds(uint32_t page) const {
  return page >= readAhead_.first && page - readAhead_.first < readAhead_.count;
}

bool JetFile::FollowsLastRead(uint32_t page) const {
  return readAhead_.asked && page == readAhead_.lastAsked + 1;
}

void JetFile::ReadAhead(uint32_t page) const {
  const size_t size = static_cast<size_t>(PageSize());
  const uint32_t pages = std::min<uint32_t>(kReadAheadPages, pageCount_ - page);
  readAhead_.count = 0;
  readAhead_.bytes.resize(static_cast<size_t>(pages) * size);
  const off_t offset = static_cast<off_t>(page) * static_cast<off_t>(size);
  const ssize_t got = pread(fd_, readAhead_.bytes.data(), readAhead_.bytes.size(), offset);
  // Only whole pages count; a read that brings none leaves the page to the
  // single read, which fails as it always did.
  readAhead_.first = page;
  readAhead_.count = got > 0 ? static_cast<uint32_t>(static_cast<size_t>(got) / size) : 0;
}
