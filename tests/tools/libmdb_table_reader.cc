#include "tests/tools/libmdb_table_reader.h"

// clang-format off
#include <glib.h>
#include <mdbtools.h>
// clang-format on

#include <cstring>
#include <memory>
#include <stdexcept>

namespace accessdb_test {

struct LibmdbTableReader::Handle {
  MdbHandle* mdb = nullptr;
  GPtrArray* catalog = nullptr;
};

LibmdbTableReader::LibmdbTableReader(const std::string& path) : handle_(new Handle) {
  handle_->mdb = mdb_open(path.c_str(), MDB_NOFLAGS);
  if (handle_->mdb == nullptr) {
    delete handle_;
    throw std::runtime_error("libmdb cannot open " + path);
  }
  // Read the catalog once: re-reading it frees the entries of open tables.
  handle_->catalog = mdb_read_catalog(handle_->mdb, MDB_ANY);
  if (handle_->catalog == nullptr) {
    mdb_close(handle_->mdb);
    delete handle_;
    throw std::runtime_error("libmdb cannot read the catalog of " + path);
  }
}

LibmdbTableReader::~LibmdbTableReader() {
  mdb_close(handle_->mdb);
  delete handle_;
}

int LibmdbTableReader::code_page() const { return handle_->mdb->f->code_page; }
int LibmdbTableReader::jet_version() const { return handle_->mdb->f->jet_version; }

std::vector<std::string> LibmdbTableReader::UserTables() const {
  std::vector<std::string> out;
  for (guint i = 0; i < handle_->mdb->num_catalog; ++i) {
    auto* e = static_cast<MdbCatalogEntry*>(g_ptr_array_index(handle_->mdb->catalog, i));
    if (e->object_type == MDB_TABLE && !mdb_is_system_table(e)) out.push_back(e->object_name);
  }
  return out;
}

std::vector<std::string> LibmdbTableReader::AllTables() const {
  std::vector<std::string> out;
  for (guint i = 0; i < handle_->mdb->num_catalog; ++i) {
    auto* e = static_cast<MdbCatalogEntry*>(g_ptr_array_index(handle_->mdb->catalog, i));
    if (e->object_type == MDB_TABLE) out.push_back(e->object_name);
  }
  return out;
}

std::string LibmdbTableReader::CatalogProperty(const std::string& object, const std::string& property) const {
  for (guint i = 0; i < handle_->mdb->num_catalog; ++i) {
    auto* e = static_cast<MdbCatalogEntry*>(g_ptr_array_index(handle_->mdb->catalog, i));
    if (object != e->object_name || e->props == nullptr) continue;
    for (guint j = 0; j < e->props->len; ++j) {
      auto* props = static_cast<MdbProperties*>(g_ptr_array_index(e->props, j));
      auto* value = static_cast<const char*>(g_hash_table_lookup(props->hash, property.c_str()));
      if (value != nullptr) return value;
    }
  }
  return "";
}

namespace {

constexpr size_t kBindSize = 16384;  // libmdb's default bind size; buffers get a page more

// The whole long value of the current row's column, joined from libmdb's reads.
std::string ReadLongValue(MdbHandle* mdb, MdbColumn* col, std::vector<char>& buf) {
  std::vector<char> header(mdb->pg_buf + col->cur_value_start,
                           mdb->pg_buf + col->cur_value_start + MDB_MEMO_OVERHEAD);
  std::string raw;
  size_t n = mdb_ole_read(mdb, col, header.data(), buf.size());
  raw.append(buf.data(), n);
  while (n > 0 && (n = mdb_ole_read_next(mdb, col, header.data())) > 0) raw.append(buf.data(), n);
  const std::uint32_t length = static_cast<std::uint8_t>(header[0]) |
                               static_cast<std::uint8_t>(header[1]) << 8 |
                               static_cast<std::uint8_t>(header[2]) << 16;
  if (raw.size() > length) raw.resize(length);
  return raw;
}

}  // namespace

std::uint64_t LibmdbTableReader::Read(const std::string& name, std::vector<MdbColumnInfo>* columns,
                                      const std::function<void(const std::vector<MdbCell>&)>& row) const {
  MdbHandle* mdb = handle_->mdb;
  MdbCatalogEntry* entry = nullptr;
  for (guint i = 0; i < mdb->num_catalog; ++i) {
    auto* e = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
    if (e->object_type == MDB_TABLE && name == e->object_name) entry = e;
  }
  if (entry == nullptr) throw std::runtime_error("libmdb finds no table " + name);
  MdbTableDef* table = mdb_read_table(entry);
  if (table == nullptr) throw std::runtime_error("libmdb cannot read table " + name);
  mdb_read_columns(table);
  mdb_rewind_table(table);
  const guint ncols = table->num_cols;
  std::vector<std::vector<char>> bound(ncols, std::vector<char>(kBindSize + 4096, 0));
  std::vector<int> lengths(ncols, 0);
  std::vector<MdbColumnInfo> info;
  for (guint i = 0; i < ncols; ++i) {
    auto* col = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i));
    info.push_back({col->name, col->col_type, col->col_size});
    mdb_bind_column(table, static_cast<int>(i + 1), bound[i].data(), &lengths[i]);
  }
  if (columns != nullptr) *columns = info;
  std::vector<MdbField> fields(256);
  std::vector<MdbCell> cells(ncols);
  std::vector<char> long_buf(kBindSize + 4096);
  std::uint64_t count = 0;
  while (mdb_fetch_row(table)) {
    int start = 0;
    size_t size = 0;
    if (mdb_find_row(mdb, static_cast<int>(table->cur_row) - 1, &start, &size) != 0) {
      throw std::runtime_error("libmdb cannot find the row it fetched");
    }
    mdb_crack_row(table, start, size, fields.data());
    for (guint i = 0; i < ncols; ++i) {
      auto* col = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i));
      MdbCell& cell = cells[i];
      const MdbField& f = fields[i];
      cell.null = f.is_null != 0;
      cell.text.assign(bound[i].data(), static_cast<size_t>(std::max(lengths[i], 0)));
      cell.raw.clear();
      cell.stored.assign(reinterpret_cast<const char*>(mdb->pg_buf) + f.start, static_cast<size_t>(std::max(f.siz, 0)));
      cell.number = 0;
      if (col->col_type == MDB_BOOL) cell.null = false;  // the null bit is its value
      if (cell.null) continue;
      // A text column of length 0 is a calculated column with a memo result,
      // stored as a long value (Access 2010).
      const bool memo_result = col->col_type == MDB_TEXT && col->col_size == 0;
      switch (memo_result ? MDB_OLE : col->col_type) {
        case MDB_FLOAT:
          cell.number = mdb_get_single(mdb->pg_buf, f.start);
          break;
        case MDB_DOUBLE:
        case MDB_DATETIME:
          cell.number = mdb_get_double(mdb->pg_buf, f.start);
          break;
        case MDB_BINARY:
          cell.raw.assign(reinterpret_cast<const char*>(mdb->pg_buf) + f.start, static_cast<size_t>(f.siz));
          break;
        case MDB_OLE:
          col->bind_ptr = long_buf.data();
          cell.raw = ReadLongValue(mdb, col, long_buf);
          col->bind_ptr = bound[i].data();
          break;
        case MDB_MEMO: {
          col->bind_ptr = long_buf.data();
          const std::string stored = ReadLongValue(mdb, col, long_buf);
          col->bind_ptr = bound[i].data();
          std::vector<char> text(3 * stored.size() + 16);
          const int n = mdb_unicode2ascii(mdb, stored.data(), stored.size(), text.data(), text.size());
          cell.raw.assign(text.data(), static_cast<size_t>(n));
          break;
        }
        default:
          break;
      }
    }
    row(cells);
    ++count;
  }
  mdb_free_tabledef(table);
  return count;
}

}  // namespace accessdb_test
