// The usage map that lists the data pages of one table, read from the file
// with bounds. Part of the reader of jet/.
//
// libmdb's own walk over a usage map dereferences a missing map (a map row of
// length 0), reads past a map shorter than its header, and ends the process
// when an indirect map names a page past the end of the file. The table cursor
// walks the map with this class instead; a map that cannot be read whole
// raises EOleError.
//
// A map row is either inline (type 0: the first page number, then a bitmap of
// the pages from there on) or indirect (type 1: page numbers of map pages,
// each of which holds a bitmap, from byte 4, of (page size - 4) * 8 pages).
// The map's bytes are copied; map pages are read when the walk reaches them.
#pragma once

#include <cstdint>
#include <vector>

#include "jet/mdb_page_reader.h"

class MdbUsageMap {
 public:
  // Reads the owned-pages map of the table defined on page `tableDefinitionPage`.
  // Also checks the table definition's free-space map row, which libmdb copies
  // without checking its bounds: call this before mdb_read_table.
  // Raises EOleError when the definition page or either map row is damaged.
  MdbUsageMap(const MdbPageReader& pages, uint32_t tableDefinitionPage);

  // The first page after `page` that the map lists (pass 0 to start); 0 when
  // there is none. Raises EOleError when a map page cannot be read.
  uint32_t Next(uint32_t page);

 private:
  bool Bitmap(uint64_t page, const unsigned char*& bits, uint64_t& first, uint64_t& count);

  const MdbPageReader& pages_;
  std::vector<unsigned char> map_;
  std::vector<unsigned char> mapPage_;  // the indirect map page last read
  uint32_t mapPageIndex_ = UINT32_MAX;
};
