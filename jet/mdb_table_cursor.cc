#include "jet/mdb_table_cursor.h"

#include <cstring>
#include <optional>
#include <set>

#include "jet/jet_error.h"
#include "jet/jet_value_decoding.h"
#include "jet/standard_error_capture.h"
#include "runtime/exceptions.h"
#include "runtime/utf8.h"

namespace {

constexpr int kLongValueHeader = 12;

template <typename T>
T ReadLE(const unsigned char* p) {
  T v;
  std::memcpy(&v, p, sizeof v);  // the files are little-endian, like the hosts we build for
  return v;
}

}  // namespace

MdbTableCursor::MdbTableCursor(std::shared_ptr<MdbDatabaseFile> file, int catalogIndex)
    : owner_(std::move(file)), file_(*owner_) {
  const MdbDatabaseFile::CatalogObject& object = file_.Object(catalogIndex);
  name_ = object.name;
  Open(object.tablePage);
}

MdbTableCursor::MdbTableCursor(const MdbDatabaseFile& file, const UnicodeString& name, uint32_t tableDefinitionPage)
    : file_(file), name_(name) {
  Open(tableDefinitionPage);
}

void MdbTableCursor::Open(uint32_t tableDefinitionPage) {
  StandardErrorCapture capture;
  mdb_ = mdb_clone_handle(file_.Handle());
  if (!mdb_) throw EOleError(u"Cannot open the table.");
  definitionPage_ = tableDefinitionPage;
  // Nothing of libmdb's may outlive a failed open: a constructor that throws
  // runs no destructor.
  try {
    auto fail = [&](const UnicodeString& reason) {
      UnicodeString message = FormatText(u"Cannot read the definition of table '%s'.", {name_});
      if (!reason.empty()) message += u" " + reason;
      throw EOleError(message);
    };
    pages_ = std::make_unique<MdbPageReader>(mdb_);
    try {
      usageMap_ = std::make_unique<MdbUsageMap>(*pages_, tableDefinitionPage);
    } catch (const EOleError& e) {
      fail(e.Message());
    }
    const JetFormat& format = file_.IsJet3() ? kJet3Format : kJet4Format;
    try {
      definition_ = std::make_unique<JetTableDefinition>(JetTableDefinition::Read(
          format, tableDefinitionPage, file_.CodePage(),
          [&](uint32_t page, std::vector<unsigned char>& bytes) { return pages_->Read(page, bytes); }));
    } catch (const EJetError& e) {
      fail(e.Message());
    }
    const bool jet3 = file_.IsJet3();
    for (const JetTableDefinition::Column& c : definition_->Columns()) {
      Column column{c.name, c.type, DaoFieldType(c.type), DaoFieldSize(c.type, c.size, jet3)};
      column.scale = c.scale;
      column.calculated = c.calculated;
      if (c.type == kJetComplex) column.daoType = file_.ComplexColumnDaoType(c.complexId);
      columns_.push_back(column);
    }
    layout_ = std::make_unique<JetRowLayout>(format, *definition_);
  } catch (...) {
    Release();
    throw;
  }
}

void MdbTableCursor::Release() {
  if (mdb_) mdb_close(mdb_);
  mdb_ = nullptr;
}

MdbTableCursor::~MdbTableCursor() {
  StandardErrorCapture capture;
  Release();
}

int64_t MdbTableCursor::RowCount() const { return definition_->RowCount(); }

bool MdbTableCursor::MoveFirst() {
  page_ = 0;
  pageLoaded_ = false;
  return Fetch();
}

bool MdbTableCursor::MoveNext() { return Fetch(); }

bool MdbTableCursor::Fetch() {
  hasRow_ = false;
  damage_.clear();
  // libmdb only has something to report when a row is damaged or a new page
  // is read; the standard error capture costs a few system calls, so a fetch
  // that stays on the current page runs without it.
  std::optional<StandardErrorCapture> capture;
  if (!pageLoaded_ || row_ >= rows_) capture.emplace();
  for (;;) {
    if (!pageLoaded_ || row_ >= rows_) {
      pageLoaded_ = false;
      if (!LoadNextPage()) return hasRow_;  // the end, or a damaged page
      continue;
    }
    const unsigned row = row_++;
    std::optional<MdbPageReader::Row> bounds = pages_->FindRow(mdb_->pg_buf, row);
    if (bounds && bounds->deleted) continue;  // deleted rows and overflow pointers
    if (!bounds || !layout_->Split(mdb_->pg_buf, bounds->start, bounds->end, cells_)) {
      DamagedRecord(FormatText(u"The record at row %d of page %d of table '%s' is damaged.",
                               {static_cast<int64_t>(row), static_cast<int64_t>(page_), name_}));
      return true;
    }
    hasRow_ = true;
    return true;
  }
}

// Reads the next page the usage map lists into mdb_->pg_buf. False at the end
// of the table, and when the page is damaged (the cursor then stands on a
// damaged record).
bool MdbTableCursor::LoadNextPage() {
  constexpr unsigned char kDataPage = 0x01;
  constexpr unsigned char kLastKnownPageType = 0x05;  // usage-map pages
  for (;;) {
    page_ = usageMap_->Next(page_);
    if (page_ == 0) return false;
    if (!pages_->ReadInto(page_, mdb_->pg_buf))
      return DamagedRecord(FormatText(u"Page %d of table '%s' cannot be read.", {static_cast<int64_t>(page_), name_}));
    const unsigned char* pg = mdb_->pg_buf;
    const bool longValues = std::memcmp(pg + 4, "LVAL", 4) == 0;
    // Owned maps also list the table's long-value pages, and may list index
    // pages; only a page that is no page at all, or another table's data, is damage.
    if (pg[0] == kDataPage && !longValues && ReadLE<uint32_t>(pg + 4) != definitionPage_)
      return DamagedRecord(FormatText(u"Page %d of table '%s' belongs to another table.",
                                      {static_cast<int64_t>(page_), name_}));
    if (pg[0] == 0 || pg[0] > kLastKnownPageType)
      return DamagedRecord(FormatText(u"Page %d of table '%s' is damaged.", {static_cast<int64_t>(page_), name_}));
    if (pg[0] != kDataPage || longValues) continue;
    std::optional<unsigned> rows = pages_->RowCount(pg);
    if (!rows)
      return DamagedRecord(FormatText(u"Page %d of table '%s' is damaged.", {static_cast<int64_t>(page_), name_}));
    rows_ = *rows;
    row_ = 0;
    pageLoaded_ = true;
    return true;
  }
}

bool MdbTableCursor::DamagedRecord(const UnicodeString& message) {
  damage_ = message;
  hasRow_ = true;
  return false;  // no page loaded: the next fetch goes on with the next page
}

Variant MdbTableCursor::Value(size_t index) {
  if (!hasRow_) throw EOleError(u"No current record.");
  if (!damage_.empty()) throw EOleError(damage_);
  return Decode(index);
}

Variant MdbTableCursor::Decode(size_t index) {
  const JetCell& f = cells_[index];
  const Column& column = columns_[index];
  const int type = column.jetType;
  if (type == kJetBoolean && !column.calculated) return Variant(!f.null);  // the null bit is the value
  if (f.null) return Variant::Null();
  const unsigned char* p = mdb_->pg_buf + f.start;
  size_t n = static_cast<size_t>(f.size);
  std::string calculated;  // a calculated column's result, taken out of its wrapping
  if (column.calculated) {
    const bool longValue = type == kJetMemo || type == kJetOle;
    calculated = std::string(UnwrapCalculatedValue(
        longValue ? ReadLongValue(f, index) : std::string_view(reinterpret_cast<const char*>(p), n)));
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
      return Variant(file_.IsJet3() ? DecodeJet3Text(bytes, file_.CodePage()) : DecodeJet4Text(bytes));
    }
    case kJetMemo: {
      const std::string_view bytes = column.calculated ? std::string_view(calculated) : ReadLongValue(f, index);
      return Variant(file_.IsJet3() ? DecodeJet3Text(bytes, file_.CodePage()) : DecodeJet4Text(bytes));
    }
    case kJetBinary: return Variant(Variant::Bytes(p, p + n));
    case kJetOle: {
      const std::string_view bytes = column.calculated ? std::string_view(calculated) : ReadLongValue(f, index);
      return Variant(Variant::Bytes(bytes.begin(), bytes.end()));
    }
    default:
      // Types without a DAO form here (attachments, multi-value lists).
      return Variant::Null();
  }
}

std::string_view MdbTableCursor::ReadLongValue(const JetCell& field, size_t index) {
  auto damaged = [&]() -> EOleError {
    return EOleError(FormatText(u"The long value of field '%s' is damaged.", {columns_[index].name}));
  };
  if (field.size == 0) return std::string_view();
  if (field.size < kLongValueHeader) throw damaged();
  const unsigned char* header = mdb_->pg_buf + field.start;
  const uint32_t word = ReadLE<uint32_t>(header);
  const size_t length = word & 0x00FFFFFF;
  const uint32_t flags = word >> 24;
  if (flags & 0x80) {  // stored in the row itself
    size_t available = static_cast<size_t>(field.size) - kLongValueHeader;
    if (length > available) throw damaged();
    return std::string_view(reinterpret_cast<const char*>(header + kLongValueHeader), length);
  }
  uint32_t pointer = ReadLE<uint32_t>(header + 4);
  if (flags & 0x40) {  // one row of a long-value page
    std::string_view row = LongValueRow(pointer >> 8, pointer & 0xFF);
    if (length > row.size()) throw damaged();
    return row.substr(0, length);
  }
  if (flags != 0) throw damaged();
  // A chain of rows, each starting with the pointer to the next one. Every
  // part must add bytes, none may be visited twice, and together they hold
  // exactly the stated length: anything else would loop or cut the value.
  std::set<uint32_t> visited;
  std::string& out = longValue_;
  out.clear();
  out.reserve(length);
  while (out.size() < length) {
    if (pointer == 0 || !visited.insert(pointer).second) throw damaged();
    std::string_view row = LongValueRow(pointer >> 8, pointer & 0xFF);
    if (row.size() <= 4) throw damaged();
    pointer = ReadLE<uint32_t>(reinterpret_cast<const unsigned char*>(row.data()));
    if (row.size() - 4 > length - out.size()) throw damaged();
    out.append(row.data() + 4, row.size() - 4);
  }
  return out;
}

std::string_view MdbTableCursor::LongValueRow(uint32_t page, uint32_t row) {
  constexpr unsigned char kDataPage = 0x01;
  LongValuePage* slot = nullptr;
  for (LongValuePage& candidate : lvalPages_)
    if (candidate.valid && candidate.number == page) slot = &candidate;
  if (!slot) {
    slot = &lvalPages_[0];  // an unused slot, else the one used longest ago
    for (LongValuePage& candidate : lvalPages_)
      if (!candidate.valid || (slot->valid && candidate.lastUse < slot->lastUse)) slot = &candidate;
    slot->valid = false;
    if (page == 0 || !pages_->Read(page, slot->bytes) || slot->bytes[0] != kDataPage)
      throw EOleError(u"A long value points to a page that cannot be read.");
    slot->number = page;
    slot->valid = true;
  }
  slot->lastUse = ++lvalUses_;
  std::optional<MdbPageReader::Row> bounds = pages_->FindRow(slot->bytes.data(), row);
  if (!bounds || bounds->deleted) throw EOleError(u"A long value points to a row that does not exist.");
  return std::string_view(reinterpret_cast<const char*>(slot->bytes.data() + bounds->start),
                          static_cast<size_t>(bounds->size()));
}
