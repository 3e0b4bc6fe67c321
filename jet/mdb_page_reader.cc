#include "jet/mdb_page_reader.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

namespace {

constexpr int kOffsetMask = 0x1FFF;  // row offsets carry flags in their top bits

unsigned ReadU16(const unsigned char* p) { return static_cast<unsigned>(p[0] | (p[1] << 8)); }

}  // namespace

MdbPageReader::MdbPageReader(MdbHandle* mdb)
    : mdb_(mdb), pageSize_(static_cast<int>(mdb->fmt->pg_size)), rowCountOffset_(mdb->fmt->row_count_offset) {
  struct stat st;
  if (pageSize_ > 0 && fstat(fileno(mdb->f->stream), &st) == 0 && st.st_size > 0)
    pageCount_ = static_cast<uint32_t>(std::min<uint64_t>(static_cast<uint64_t>(st.st_size) / pageSize_, UINT32_MAX));
}

bool MdbPageReader::Read(uint32_t page, std::vector<unsigned char>& out) const {
  out.resize(static_cast<size_t>(pageSize_));
  return ReadInto(page, out.data());
}

bool MdbPageReader::ReadInto(uint32_t page, unsigned char* buffer) const {
  if (page >= pageCount_) return false;
  if (mdb_->f->db_key == 0) {
    const off_t offset = static_cast<off_t>(page) * pageSize_;
    return pread(fileno(mdb_->f->stream), buffer, static_cast<size_t>(pageSize_), offset) == pageSize_;
  }
  // libmdb decrypts the pages of an encrypted file as it reads them.
  if (mdb_read_alt_pg(mdb_, page) != pageSize_) return false;
  std::memcpy(buffer, mdb_->alt_pg_buf, static_cast<size_t>(pageSize_));
  return true;
}

std::optional<unsigned> MdbPageReader::RowCount(const unsigned char* page) const {
  const unsigned rows = ReadU16(page + rowCountOffset_);
  if (rowCountOffset_ + 2 + 2 * static_cast<int>(rows) > pageSize_) return std::nullopt;
  return rows;
}

std::optional<MdbPageReader::Row> MdbPageReader::FindRow(const unsigned char* page, unsigned row) const {
  std::optional<unsigned> rows = RowCount(page);
  if (!rows || row >= *rows) return std::nullopt;
  const unsigned raw = ReadU16(page + rowCountOffset_ + 2 + 2 * row);
  Row r;
  r.start = static_cast<int>(raw & kOffsetMask);
  r.end = row == 0 ? pageSize_ : static_cast<int>(ReadU16(page + rowCountOffset_ + 2 * row) & kOffsetMask);
  r.deleted = (raw & 0x4000) != 0;
  r.overflow = (raw & 0x8000) != 0;
  if (r.deleted) return Row{0, 0, true, r.overflow};  // nothing of it is read
  const int rowArea = rowCountOffset_ + 2 + 2 * static_cast<int>(*rows);
  if (r.start < rowArea || r.start > r.end || r.end > pageSize_) return std::nullopt;
  return r;
}
