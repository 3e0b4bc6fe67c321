#include "platform/automation/mdb_table_cursor.h"

#include <cstring>
#include <optional>

#include "platform/automation/jet_table_definition.h"
#include "platform/automation/jet_value_decoding.h"
#include "platform/automation/standard_error_capture.h"
#include "runtime/exceptions.h"
#include "runtime/utf8.h"

namespace {

constexpr int kOffsetMask = 0x1FFF;  // row offsets carry flags in their top bits
constexpr int kLongValueHeader = 12;

template <typename T>
T ReadLE(const unsigned char* p) {
  T v;
  std::memcpy(&v, p, sizeof v);  // the files are little-endian, like the hosts we build for
  return v;
}

}  // namespace

MdbTableCursor::MdbTableCursor(std::shared_ptr<MdbDatabaseFile> file, int catalogIndex) : file_(std::move(file)) {
  StandardErrorCapture capture;
  mdb_ = mdb_clone_handle(file_->Handle());
  if (!mdb_) throw EOleError(u"Cannot open the table." );
  auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb_->catalog, catalogIndex));
  table_ = mdb_read_table(entry);
  if (!table_ || !mdb_read_columns(table_)) {
    std::string report = capture.Text();
    if (table_) mdb_free_tabledef(table_);
    table_ = nullptr;
    mdb_close(mdb_);
    mdb_ = nullptr;
    UnicodeString message = FormatText(u"Cannot read the definition of table '%s'.", {FromUtf8(entry->object_name)});
    if (!report.empty()) message += u" " + FromUtf8(report);
    throw EOleError(message);
  }
  const bool jet3 = file_->IsJet3();
  for (unsigned i = 0; i < table_->num_cols; ++i) {
    auto* col = static_cast<MdbColumn*>(g_ptr_array_index(table_->columns, i));
    col->bind_ptr = nullptr;
    columns_.push_back(Column{FromUtf8(col->name), col->col_type, DaoFieldType(col->col_type),
                              DaoFieldSize(col->col_type, col->col_size, jet3)});
  }
  fields_.resize(table_->num_cols);
  lvalPage_.resize(static_cast<size_t>(mdb_->fmt->pg_size));
  ApplyTableDefinition(static_cast<uint32_t>(entry->table_pg));
}

void MdbTableCursor::ApplyTableDefinition(uint32_t page) {
  if (file_->IsJet3()) return;  // no Decimal, calculated or complex columns
  const JetTableDefinition definition = JetTableDefinition::Read(page, [&](uint32_t at, std::string& bytes) {
    const ssize_t size = mdb_->fmt->pg_size;
    if (mdb_read_alt_pg(mdb_, at) != size) return false;
    bytes.assign(reinterpret_cast<const char*>(mdb_->alt_pg_buf), static_cast<size_t>(size));
    return true;
  });
  for (size_t i = 0; i < columns_.size(); ++i) {
    auto* col = static_cast<MdbColumn*>(g_ptr_array_index(table_->columns, i));
    const JetTableDefinition::Column* stored = definition.Find(col->col_num);
    if (!stored || stored->jetType != columns_[i].jetType) continue;
    columns_[i].scale = stored->scale;
    columns_[i].calculated = stored->calculated;
    if (stored->jetType == kJetComplex) columns_[i].daoType = file_->ComplexColumnDaoType(stored->complexId);
  }
}

MdbTableCursor::~MdbTableCursor() {
  StandardErrorCapture capture;
  if (table_) mdb_free_tabledef(table_);
  if (mdb_) mdb_close(mdb_);
}

int64_t MdbTableCursor::RowCount() const { return table_->num_rows; }

bool MdbTableCursor::MoveFirst() {
  {
    StandardErrorCapture capture;
    mdb_rewind_table(table_);
  }
  return Fetch();
}

bool MdbTableCursor::MoveNext() { return Fetch(); }

bool MdbTableCursor::Fetch() {
  hasRow_ = false;
  // libmdb only has something to report when it reads a new data page (or
  // meets a damaged row); the standard error capture costs a few system
  // calls, so a fetch that stays on the current page runs without it.
  const bool stayOnPage = table_->cur_pg_num != 0 &&
                          table_->cur_row < static_cast<unsigned>(mdb_get_int16(mdb_->pg_buf, mdb_->fmt->row_count_offset));
  std::optional<StandardErrorCapture> capture;
  if (!stayOnPage) capture.emplace();
  while (mdb_fetch_row(table_)) {
    // mdb_fetch_row has just read row cur_row - 1 of the page now in pg_buf.
    int start = 0;
    size_t length = 0;
    if (mdb_find_row(mdb_, static_cast<int>(table_->cur_row) - 1, &start, &length) != 0) continue;
    if (mdb_crack_row(table_, start & kOffsetMask, length, fields_.data()) < 0) continue;
    hasRow_ = true;
    break;
  }
  return hasRow_;
}

Variant MdbTableCursor::Value(size_t index) {
  if (!hasRow_) throw EOleError(u"No current record.");
  return Decode(index);
}

Variant MdbTableCursor::Decode(size_t index) {
  const MdbField& f = fields_[index];
  const Column& column = columns_[index];
  const int type = column.jetType;
  if (type == kJetBoolean && !column.calculated) return Variant(!f.is_null);  // the null bit is the value
  if (f.is_null) return Variant::Null();
  const unsigned char* p = mdb_->pg_buf + f.start;
  size_t n = f.siz > 0 ? static_cast<size_t>(f.siz) : 0;
  std::string calculated;  // a calculated column's result, taken out of its wrapping
  if (column.calculated) {
    const bool longValue = type == kJetMemo || type == kJetOle;
    calculated = longValue ? ReadLongValue(f, index) : std::string(reinterpret_cast<const char*>(p), n);
    calculated = std::string(UnwrapCalculatedValue(calculated));
    p = reinterpret_cast<const unsigned char*>(calculated.data());
    n = calculated.size();
  }
  auto need = [&](size_t bytes) {
    if (n < bytes) throw EOleError(FormatText(u"The value of field '%s' is damaged.", {columns_[index].name}));
  };
  switch (type) {
    case kJetBoolean: need(1); return Variant(p[0] != 0);  // calculated only
    case kJetByte: need(1); return Variant(static_cast<uint8_t>(p[0]));
    case kJetInteger: need(2); return Variant(static_cast<int32_t>(ReadLE<int16_t>(p)));
    case kJetLong: need(4); return Variant(ReadLE<int32_t>(p));
    case kJetBigInt: need(8); return Variant(ReadLE<int64_t>(p));
    case kJetCurrency: need(8); return Variant(Currency::FromScaled(ReadLE<int64_t>(p)));
    case kJetSingle: need(4); return Variant::FromSingle(ReadLE<float>(p));
    case kJetDouble: need(8); return Variant(ReadLE<double>(p));
    case kJetDateTime: need(8); return Variant::FromDate(ReadLE<double>(p));
    case kJetGuid: need(16); return Variant(DecodeJetGuid(std::string_view(reinterpret_cast<const char*>(p), 16)));
    case kJetNumeric:
      need(17);
      return Variant(DecodeJetDecimal(std::string_view(reinterpret_cast<const char*>(p), 17), column.scale));
    case kJetDateTimeExtended:
      need(39);
      return DecodeJetExtendedDateTime(std::string_view(reinterpret_cast<const char*>(p), n));
    case kJetText: {
      std::string_view bytes(reinterpret_cast<const char*>(p), n);
      return Variant(file_->IsJet3() ? DecodeJet3Text(bytes, file_->CodePage()) : DecodeJet4Text(bytes));
    }
    case kJetMemo: {
      std::string bytes = column.calculated ? calculated : ReadLongValue(f, index);
      return Variant(file_->IsJet3() ? DecodeJet3Text(bytes, file_->CodePage()) : DecodeJet4Text(bytes));
    }
    case kJetBinary: return Variant(Variant::Bytes(p, p + n));
    case kJetOle: {
      std::string bytes = column.calculated ? calculated : ReadLongValue(f, index);
      return Variant(Variant::Bytes(bytes.begin(), bytes.end()));
    }
    default:
      // Types without a DAO form here (attachments, multi-value lists).
      return Variant::Null();
  }
}

std::string MdbTableCursor::ReadLongValue(const MdbField& field, size_t index) {
  if (field.siz < kLongValueHeader) return std::string();
  const unsigned char* header = mdb_->pg_buf + field.start;
  const uint32_t word = ReadLE<uint32_t>(header);
  const size_t length = word & 0x00FFFFFF;
  const uint32_t flags = word >> 24;
  auto damaged = [&]() -> EOleError {
    return EOleError(FormatText(u"The long value of field '%s' is damaged.", {columns_[index].name}));
  };
  std::string out;
  if (flags & 0x80) {  // stored in the row itself
    size_t available = static_cast<size_t>(field.siz) - kLongValueHeader;
    if (length > available) throw damaged();
    out.assign(reinterpret_cast<const char*>(header + kLongValueHeader), length);
    return out;
  }
  uint32_t pointer = ReadLE<uint32_t>(header + 4);
  if (flags & 0x40) {  // one row of a long-value page
    std::string_view row = LongValueRow(pointer >> 8, pointer & 0xFF);
    if (length > row.size()) throw damaged();
    out.assign(row.data(), length);
    return out;
  }
  if (flags != 0) throw damaged();
  // A chain of rows, each starting with the pointer to the next one.
  out.reserve(length);
  while (out.size() < length) {
    if (pointer == 0) throw damaged();
    std::string_view row = LongValueRow(pointer >> 8, pointer & 0xFF);
    if (row.size() < 4) throw damaged();
    pointer = ReadLE<uint32_t>(reinterpret_cast<const unsigned char*>(row.data()));
    size_t take = std::min(row.size() - 4, length - out.size());
    out.append(row.data() + 4, take);
  }
  return out;
}

std::string_view MdbTableCursor::LongValueRow(uint32_t page, uint32_t row) {
  const int pageSize = static_cast<int>(mdb_->fmt->pg_size);
  if (!lvalPageValid_ || lvalPageNumber_ != page) {
    lvalPageValid_ = false;
    if (page == 0 || mdb_read_alt_pg(mdb_, page) != pageSize)
      throw EOleError(u"A long value points to a page that cannot be read.");
    std::memcpy(lvalPage_.data(), mdb_->alt_pg_buf, static_cast<size_t>(pageSize));
    lvalPageNumber_ = page;
    lvalPageValid_ = true;
  }
  const unsigned char* pg = lvalPage_.data();
  const int rco = mdb_->fmt->row_count_offset;
  const uint32_t rows = ReadLE<uint16_t>(pg + rco);
  if (row >= rows) throw EOleError(u"A long value points to a row that does not exist.");
  const int start = ReadLE<uint16_t>(pg + rco + 2 + 2 * row) & kOffsetMask;
  const int end = row == 0 ? pageSize : (ReadLE<uint16_t>(pg + rco + 2 * row) & kOffsetMask);
  if (start > end || end > pageSize) throw EOleError(u"A long value points to a row that does not exist.");
  return std::string_view(reinterpret_cast<const char*>(pg + start), static_cast<size_t>(end - start));
}
