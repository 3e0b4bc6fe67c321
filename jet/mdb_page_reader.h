// Bounded reading of the pages and rows of a file opened by libmdb. Internal
// to the DAO server of platform/automation/.
//
// libmdb follows page numbers and row offsets from the file without checking
// them (a row whose bounds are reversed becomes a huge copy, an indirect usage
// map page past the end of the file ends the process). The structures it would
// follow blindly are read here instead, with every page number checked against
// the file's size and every row checked against its page.
//
// Works on a libmdb handle that it does not own; the handle must outlive it.
// Pages of a file with an encryption key are read through libmdb
// (mdb_read_alt_pg), which undoes the encryption, so the handle's alternate
// page buffer may be overwritten by any read; other files are read directly.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "jet/mdb_api.h"

class MdbPageReader {
 public:
  // One row of a page: its bytes [start, end) and the flags of its offset.
  struct Row {
    int start;
    int end;
    bool deleted;   // 0x4000: deleted, or an overflow pointer whose target is read in its place
    bool overflow;  // 0x8000: the target of an overflow pointer
    int size() const { return end - start; }
  };

  explicit MdbPageReader(MdbHandle* mdb);

  int PageSize() const { return pageSize_; }
  // Whole pages in the file (a partial last page does not count).
  uint32_t PageCount() const { return pageCount_; }
  int RowCountOffset() const { return rowCountOffset_; }
  // Where a table definition page keeps the pointers to its two map rows.
  int UsageMapPointerOffset() const { return mdb_->fmt->tab_usage_map_offset; }
  int FreeMapPointerOffset() const { return mdb_->fmt->tab_free_map_offset; }

  // Reads page `page` into `out` (PageSize() bytes). False when the page is
  // not wholly inside the file.
  bool Read(uint32_t page, std::vector<unsigned char>& out) const;
  // The same into `buffer`, which holds PageSize() bytes (libmdb's page
  // buffers among them). A page of a file without an encryption key is read
  // with one positioned read; libmdb would check the file's size and seek
  // first, which costs two more system calls for every page.
  bool ReadInto(uint32_t page, unsigned char* buffer) const;

  // Number of rows a data page declares; nullopt when its offset table does
  // not fit in the page.
  std::optional<unsigned> RowCount(const unsigned char* page) const;
  // Row `row` of a page; nullopt when the row does not exist or its bounds lie
  // outside the page's row area. A deleted row comes back empty, unchecked.
  std::optional<Row> FindRow(const unsigned char* page, unsigned row) const;

 private:
  MdbHandle* mdb_;
  int pageSize_;
  int rowCountOffset_;
  uint32_t pageCount_ = 0;
};
