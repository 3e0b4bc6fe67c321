// Exact damage to an Access file written by the project's writer, for the
// tests of damaged and hostile databases: the file is read whole, edited in
// memory and written back by Save().
//
//   DatabaseDamage damage(path);
//   damage.EmptyRow(damage.UsageMapRow(damage.TablePage("Notes")));
//   damage.Save();
//
// Every lookup throws std::runtime_error when the file does not hold what it
// looks for, so a test never damages something else by accident.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "jet/jet_format.h"

class DatabaseDamage {
 public:
  // A row of a page, as long values and usage maps point to it.
  struct RowPointer {
    uint32_t page;
    uint32_t row;
    uint32_t Packed() const { return page << 8 | row; }
  };

  explicit DatabaseDamage(const std::string& path);
  void Save() const;

  int PageSize() const { return pageSize_; }
  const JetFormat& Format() const { return pageSize_ == 2048 ? kJet3Format : kJet4Format; }
  uint32_t PageCount() const { return static_cast<uint32_t>(bytes_.size() / pageSize_); }

  // Definition page of a table, from the catalog of the undamaged file (libmdb).
  uint32_t TablePage(const std::string& table) const;
  // The usage-map row a table definition points to.
  RowPointer UsageMapRow(uint32_t tablePage) const;
  // Empties a row (length 0) of the page that holds the table's usage map and
  // points the definition at it: libmdb then has no map at all. (A row 0 of
  // length 0 would start at the page's end, which libmdb itself refuses.)
  void EmptyUsageMap(uint32_t tablePage);
  // File offset of the entry of column `index` (in the writer's order, which
  // is the columns') in the definition on `tablePage`; add a JetFormat
  // column offset for one of its fields.
  size_t ColumnEntry(uint32_t tablePage, int index) const;
  // The page and row that hold the unique occurrence of `text`, and its offset.
  RowPointer RowHolding(const std::string& text) const;
  size_t Find(const std::string& text) const;  // unique occurrence, file offset
  std::vector<size_t> FindAll(const std::string& text) const;  // every occurrence, file offsets

  // Bytes [start, end) of a row, as file offsets.
  size_t RowStart(RowPointer row) const;
  size_t RowEnd(RowPointer row) const;
  // Moves the start of a row so that it keeps its last `length` bytes.
  void ShortenRow(RowPointer row, size_t length);

  // Sets flag bits (kJetRowSkipped, kJetRowOverflowPointer) in a row's offset entry.
  void FlagRow(RowPointer row, uint16_t flags);

  uint32_t ReadU32(size_t offset) const;
  void WriteU32(size_t offset, uint32_t value);
  void WriteByte(size_t offset, unsigned char value);
  void ZeroPage(uint32_t page);
  void Truncate(size_t size);

 private:
  size_t OffsetEntry(RowPointer row) const;  // file offset of the row's offset entry

  std::string path_;
  std::string bytes_;
  int pageSize_ = 0;
  int rowCountOffset_ = 0;
};
