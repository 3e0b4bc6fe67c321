// The usage map that lists the pages of one table, read with bounds.
//
// A map row is either inline (type 0: the first page number, then a bitmap
// of the pages from there on) or indirect (type 1: the page numbers of map
// pages, each of which holds a bitmap, from byte 4, of (page size - 4) * 8
// pages). The map row is copied when the map is made; map pages are read
// when the walk reaches them, one at a time.
//
// Refers to its JetFile, which must outlive it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "jet/jet_file.h"

class JetUsageMap {
 public:
  // Reads the map row that `pointer` (page and row) names. Raises EJetError
  // "The usage map of the table is damaged." when it cannot be read whole.
  JetUsageMap(const JetFile& file, uint32_t pointer);

  // The first page after `page` that the map lists (pass 0 to start); 0 when
  // there is none. Raises EJetError when a map page cannot be read or the
  // map lists a page the file does not have.
  uint32_t Next(uint32_t page);

 private:
  bool Bitmap(uint64_t page, std::string_view& bits, uint64_t& first, uint64_t& count);

  const JetFile& file_;
  std::string map_;
  std::string mapPage_;  // the indirect map page last read
  uint32_t mapPageIndex_ = UINT32_MAX;
};
