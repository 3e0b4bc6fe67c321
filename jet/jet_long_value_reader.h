// The whole value of a memo or OLE cell.
//
// The cell holds a 12-byte header (a 24-bit length, a flag byte, a page
// pointer, 4 unused bytes) and either the value itself (inline), or the
// pointer names one row of a long-value page that holds it, or the first row
// of a chain: each row starts with the pointer to the next (0 ends the
// chain) and adds its bytes.
//
// What a well-formed file cannot hold is damage, never read as data: a
// stated length other than the bytes the value has (inline bytes, the row,
// the chain's rows together, a chain that goes on past it), a cell whose
// value lies elsewhere holding more than its header, and a long-value row
// that a second cell, or a second place of the same chain, leads to (Jet
// never shares them). Claims on rows last for one pass over a table
// (NewPass); reading the same cell again is not a second claim.
//
// Keeps copies of the last few long-value pages it read (a row's memo cells
// may each lie on a page of its own), the last value joined from a chain,
// and one bit per possible long-value row of the file (32 bytes a page):
// a few pages, the largest chained value read, and the file's size / 128.
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

  // Forgets every claim: a new pass over the table begins.
  void NewPass();

  // The value of the cell whose bytes are `cell`; they stay valid until the
  // next call (they lie in `cell`, a cached page, or the joined value).
  // `field` names the column in errors. `again`: the cell was read whole
  // before in this pass, so the rows it leads to are its own already.
  // Raises EJetError "The long value of field '...' is damaged." when the
  // value is damaged, and "A long value points to a page that cannot be
  // read." or "... to a row that does not exist." when its pointer leads
  // nowhere.
  std::string_view Read(std::string_view cell, const UnicodeString& field, bool again);

  // As Read, for recovering what a damaged file still holds: damage ends the
  // value instead of raising, and the bytes before it are returned (never
  // more than the stated length) with `cut` set. A row claimed before in
  // this pass ends the value there.
  std::string_view ReadPrefix(std::string_view cell, bool& cut);

 private:
  // Claims the long-value row `pointer` names; false when it is claimed.
  bool Claim(uint32_t pointer);
  // The bytes of row `row` of long-value page `page`, through the cache.
  std::string_view Row(uint32_t page, uint32_t row);

  const JetFile& file_;
  struct CachedPage {
    bool valid = false;
    uint32_t number = 0;
    uint64_t lastUse = 0;
    std::string bytes;
  };
  static constexpr size_t kCachedPages = 4;
  CachedPage pages_[kCachedPages];
  uint64_t uses_ = 0;
  std::string joined_;              // reused: it holds the largest chained value read so far
  std::vector<uint64_t> claimed_;   // one bit per page and row; sized on the first claim
};
