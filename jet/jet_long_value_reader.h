// The whole value of a memo or OLE cell.
//
// The cell holds a 12-byte header (a 24-bit length, a flag byte, a page
// pointer, 4 unused bytes) and either the value itself (inline), or the
// pointer names one row of a long-value page that holds it, or the first row
// of a chain: each row starts with the pointer to the next (0 ends the
// chain) and adds its bytes. A chain is followed with bounds: every row must
// add bytes, none may come round again, and together they hold exactly the
// stated length.
//
// Keeps copies of the last few long-value pages it read (a row's memo cells
// may each lie on a page of its own) and the last value joined from a
// chain, so it holds at most a few pages and the largest chained value read.
// Refers to its JetFile, which must outlive it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "jet/jet_file.h"

class JetLongValueReader {
 public:
  explicit JetLongValueReader(const JetFile& file) : file_(file) {}

  // The value of the cell whose bytes are `cell`; they stay valid until the
  // next call (they lie in `cell`, a cached page, or the joined value).
  // `field` names the column in errors. Raises EJetError "The long value of
  // field '...' is damaged." when the header or chain is damaged, and "A long
  // value points to a page that cannot be read." or "... to a row that does
  // not exist." when its pointer leads nowhere.
  std::string_view Read(std::string_view cell, const UnicodeString& field);

 private:
  // The bytes of row `row` of long-value page `page`, through the cache.
  std::string_view Row(uint32_t page, uint32_t row);

  const JetFile& file_;
  struct CachedPage {
    bool valid = false;
    uint32_t number = 0;
    uint64_t lastUse = 0;
    std::vector<unsigned char> bytes;
  };
  static constexpr size_t kCachedPages = 4;
  CachedPage pages_[kCachedPages];
  uint64_t uses_ = 0;
  std::string joined_;  // reused: it holds the largest chained value read so far
};
