#include "tests/jet/database_damage.h"

#include <glib.h>

#include <mdbtools.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

DatabaseDamage::DatabaseDamage(const std::string& path) : path_(path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  bytes_ = s.str();
  if (bytes_.size() < 0x20) throw std::runtime_error("not a database: " + path);
  const bool jet3 = bytes_[0x14] == 0;
  pageSize_ = jet3 ? 2048 : 4096;
  rowCountOffset_ = Format().rowCountOffset;
}

void DatabaseDamage::Save() const {
  std::ofstream out(path_, std::ios::binary | std::ios::trunc);
  out.write(bytes_.data(), static_cast<std::streamsize>(bytes_.size()));
  if (!out.flush()) throw std::runtime_error("cannot write " + path_);
}

uint32_t DatabaseDamage::TablePage(const std::string& table) const {
  MdbHandle* mdb = mdb_open(path_.c_str(), MDB_NOFLAGS);
  if (!mdb) throw std::runtime_error("libmdb cannot open " + path_);
  uint32_t page = 0;
  if (mdb_read_catalog(mdb, MDB_TABLE)) {
    for (unsigned i = 0; i < mdb->num_catalog; ++i) {
      auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
      if (table == entry->object_name) page = static_cast<uint32_t>(entry->table_pg);
    }
  }
  mdb_close(mdb);
  if (page == 0) throw std::runtime_error("no table " + table);
  return page;
}

DatabaseDamage::RowPointer DatabaseDamage::UsageMapRow(uint32_t tablePage) const {
  const uint32_t packed =
      ReadU32(static_cast<size_t>(tablePage) * pageSize_ + static_cast<size_t>(Format().definitionUsedPagesMap));
  return RowPointer{packed >> 8, packed & 0xFF};
}

void DatabaseDamage::EmptyUsageMap(uint32_t tablePage) {
  const RowPointer map = UsageMapRow(tablePage);
  const RowPointer empty{map.page, map.row == 0 ? 1u : map.row};
  ShortenRow(empty, 0);
  WriteU32(static_cast<size_t>(tablePage) * pageSize_ + static_cast<size_t>(Format().definitionUsedPagesMap),
           empty.Packed());
}

size_t DatabaseDamage::Find(const std::string& text) const {
  const size_t at = bytes_.find(text);
  if (at == std::string::npos || bytes_.find(text, at + 1) != std::string::npos)
    throw std::runtime_error("not exactly one occurrence of the text looked for");
  return at;
}

std::vector<size_t> DatabaseDamage::FindAll(const std::string& text) const {
  std::vector<size_t> found;
  for (size_t at = bytes_.find(text); at != std::string::npos; at = bytes_.find(text, at + 1)) found.push_back(at);
  return found;
}

size_t DatabaseDamage::ColumnEntry(uint32_t tablePage, int index) const {
  const JetFormat& f = Format();
  const size_t definition = static_cast<size_t>(tablePage) * static_cast<size_t>(pageSize_);
  const uint32_t realIndexes = ReadU32(definition + static_cast<size_t>(f.definitionRealIndexCount));
  const size_t at = definition + static_cast<size_t>(f.definitionFirstRealIndex) +
                    realIndexes * static_cast<size_t>(f.realIndexEntrySize) +
                    static_cast<size_t>(index) * static_cast<size_t>(f.columnEntrySize);
  if (at + static_cast<size_t>(f.columnEntrySize) > definition + static_cast<size_t>(pageSize_))
    throw std::runtime_error("the column entry lies beyond the definition's first page");
  return at;
}

DatabaseDamage::RowPointer DatabaseDamage::RowHolding(const std::string& text) const {
  const size_t at = Find(text);
  const uint32_t page = static_cast<uint32_t>(at / pageSize_);
  const size_t base = static_cast<size_t>(page) * pageSize_;
  const unsigned rows = static_cast<unsigned char>(bytes_[base + rowCountOffset_]) |
                        static_cast<unsigned char>(bytes_[base + rowCountOffset_ + 1]) << 8;
  for (uint32_t row = 0; row < rows; ++row) {
    RowPointer p{page, row};
    if (RowStart(p) <= at && at < RowEnd(p)) return p;
  }
  throw std::runtime_error("the text lies in no row");
}

size_t DatabaseDamage::OffsetEntry(RowPointer row) const {
  return static_cast<size_t>(row.page) * pageSize_ + rowCountOffset_ + 2 + 2 * row.row;
}

size_t DatabaseDamage::RowStart(RowPointer row) const {
  const size_t e = OffsetEntry(row);
  const unsigned v = static_cast<unsigned char>(bytes_[e]) | static_cast<unsigned char>(bytes_[e + 1]) << 8;
  return static_cast<size_t>(row.page) * pageSize_ + (v & 0x1FFF);
}

size_t DatabaseDamage::RowEnd(RowPointer row) const {
  if (row.row == 0) return static_cast<size_t>(row.page + 1) * pageSize_;
  return RowStart(RowPointer{row.page, row.row - 1});
}

void DatabaseDamage::ShortenRow(RowPointer row, size_t length) {
  const size_t start = RowEnd(row) - length - static_cast<size_t>(row.page) * pageSize_;
  const size_t e = OffsetEntry(row);
  const unsigned flags = static_cast<unsigned char>(bytes_[e + 1]) & 0xE0;
  bytes_[e] = static_cast<char>(start & 0xFF);
  bytes_[e + 1] = static_cast<char>(((start >> 8) & 0x1F) | flags);
}

void DatabaseDamage::FlagRow(RowPointer row, uint16_t flags) {
  const size_t e = OffsetEntry(row);
  bytes_[e + 1] = static_cast<char>(static_cast<unsigned char>(bytes_[e + 1]) | (flags >> 8));
}

uint32_t DatabaseDamage::ReadU32(size_t offset) const {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(bytes_.at(offset + i));
  return v;
}

void DatabaseDamage::WriteU32(size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes_.at(offset + i) = static_cast<char>(value >> (8 * i));
}

void DatabaseDamage::WriteByte(size_t offset, unsigned char value) { bytes_.at(offset) = static_cast<char>(value); }

void DatabaseDamage::ZeroPage(uint32_t page) {
  bytes_.replace(static_cast<size_t>(page) * pageSize_, pageSize_, std::string(pageSize_, '\0'));
}

void DatabaseDamage::Truncate(size_t size) { bytes_.resize(size); }
