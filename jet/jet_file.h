// One Access file opened read-only: its header facts and its pages.
//
// Opening reads the header page (jet_header.h) and nothing else; every
// other page is read when asked for, with one positioned read, and decoded
// when the file has a page key (each page but the header is RC4-encoded
// with the four little-endian bytes of the key XOR the page number). Only
// whole pages inside the file are read. A page asked for right after the
// one before it starts a read of the next kReadAheadPages pages at once,
// and pages asked for from that block are copied from it: a pass over a
// table asks for its pages mostly in file order, and a block in one read
// saves a system call per page (measured: a tenth of the cost of reading a
// 50 MB file page by page; larger blocks no longer fit the processor's
// cache and save nothing).
//
// Holds the file's descriptor until destroyed. Reading is const (the block
// read ahead is its only state), so the catalog and any number of table
// cursors share one JetFile (std::shared_ptr<const JetFile>), on one thread
// at a time. Reads no environment and writes nothing anywhere.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "jet/jet_error.h"
#include "jet/jet_format.h"
#include "jet/jet_header.h"
#include "runtime/unicode_string.h"

// Why a file could not be opened; the message is empty or names the damage.
class EJetFileError : public EJetError {
 public:
  enum Reason { kMissing, kUnreadable, kNotADatabase };
  EJetFileError(Reason reason, UnicodeString message) : EJetError(std::move(message)), reason_(reason) {}
  Reason reason() const { return reason_; }

 private:
  Reason reason_;
};

class JetFile {
 public:
  // Raises EJetFileError: kMissing when the path names nothing, kUnreadable
  // when it cannot be read, kNotADatabase when it is not a regular file or
  // its header is not one of a Jet file. Nothing that is not a regular file
  // is opened (a FIFO would block). A Jet 3 header naming a code page the
  // platform cannot convert raises the platform's conversion error.
  explicit JetFile(const UnicodeString& path);
  ~JetFile();
  JetFile(const JetFile&) = delete;
  JetFile& operator=(const JetFile&) = delete;

  const UnicodeString& Path() const { return path_; }
  const JetHeader& Header() const { return header_; }
  const JetFormat& Format() const { return *header_.format; }
  bool IsJet3() const { return header_.format->jet3; }
  int PageSize() const { return header_.format->pageSize; }
  // Whole pages in the file (a partial last page does not count).
  uint32_t PageCount() const { return pageCount_; }
  uint64_t ByteSize() const { return byteSize_; }
  // The code page of Jet 3 text.
  int TextCodePage() const { return header_.TextCodePage(); }

  // Reads page `page` into `out`, which it sizes to PageSize() bytes (a
  // buffer passed again is reused). False when the page is not wholly
  // inside the file.
  bool ReadPage(uint32_t page, std::string& out) const;

  static constexpr uint32_t kReadAheadPages = 16;

 private:
  bool ReadAheadHolds(uint32_t page) const;
  bool FollowsLastRead(uint32_t page) const;
  // Reads up to kReadAheadPages pages from `page` into the block.
  void ReadAhead(uint32_t page) const;

  struct ReadAheadBlock {
    uint32_t first = 0;  // the block's first page
    uint32_t count = 0;  // whole pages it holds
    bool asked = false;  // a page was read before
    uint32_t lastAsked = 0;
    std::string bytes;
  };
  mutable ReadAheadBlock readAhead_;
  UnicodeString path_;
  int fd_ = -1;
  JetHeader header_;
  uint64_t byteSize_ = 0;
  uint32_t pageCount_ = 0;
};
