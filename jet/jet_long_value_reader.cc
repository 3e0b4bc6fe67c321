#include "jet/jet_long_value_reader.h"

#include <algorithm>

#include "jet/jet_data_page.h"

namespace {

constexpr uint64_t kRowsPerPage = 256;  // a pointer's row has 8 bits

}  // namespace

void JetLongValueReader::NewPass() { std::fill(claimed_.begin(), claimed_.end(), 0); }

bool JetLongValueReader::Claim(uint32_t pointer) {
  const uint64_t page = JetPointerPage(pointer);
  if (page >= file_.PageCount()) return true;  // reading it fails on its own
  if (claimed_.empty()) claimed_.assign((file_.PageCount() * kRowsPerPage + 63) / 64, 0);
  const uint64_t bit = page * kRowsPerPage + JetPointerRow(pointer);
  uint64_t& word = claimed_[bit / 64];
  const uint64_t mask = uint64_t{1} << (bit % 64);
  if (word & mask) return false;
  word |= mask;
  return true;
}

std::string_view JetLongValueReader::Read(std::string_view cell, const UnicodeString& field, bool again) {
  auto damaged = [&]() { return EJetError(FormatText(u"The long value of field '%s' is damaged.", {field})); };
  if (cell.empty()) return std::string_view();
  if (cell.size() < kJetLongValueHeader) throw damaged();
  const size_t length = JetReadU24(cell.data());
  const uint8_t flags = static_cast<uint8_t>(cell[3]);
  if (flags & kJetLongValueInline) {
    if (length != cell.size() - kJetLongValueHeader) throw damaged();
    return cell.substr(kJetLongValueHeader);
  }
  if (cell.size() != kJetLongValueHeader) throw damaged();
  uint32_t pointer = JetReadLE<uint32_t>(cell, 4);
  auto claim = [&] {
    if (!again && !Claim(pointer)) throw damaged();
  };
  if (flags & kJetLongValueOneRow) {
    claim();
    std::string_view row = Row(JetPointerPage(pointer), JetPointerRow(pointer));
    if (length != row.size()) throw damaged();
    return row;
  }
  if (flags != 0) throw damaged();
  // A chain: every part must add bytes, and together they hold exactly the
  // stated length, after which the chain ends.
  joined_.clear();
  joined_.reserve(length);
  while (joined_.size() < length) {
    if (pointer == 0) throw damaged();
    claim();
    std::string_view row = Row(JetPointerPage(pointer), JetPointerRow(pointer));
    if (row.size() <= 4) throw damaged();
    pointer = JetReadLE<uint32_t>(row, 0);
    if (row.size() - 4 > length - joined_.size()) throw damaged();
    joined_.append(row.data() + 4, row.size() - 4);
  }
  if (pointer != 0) throw damaged();
  return joined_;
}

std::string_view JetLongValueReader::ReadPrefix(std::string_view cell, bool& cut) {
  cut = false;
  if (cell.empty()) return std::string_view();
  cut = true;
  if (cell.size() < kJetLongValueHeader) return std::string_view();
  const size_t length = JetReadU24(cell.data());
  const uint8_t flags = static_cast<uint8_t>(cell[3]);
  if (flags & kJetLongValueInline) {
    const std::string_view value = cell.substr(kJetLongValueHeader);
    cut = length != value.size();
    return value.substr(0, length);
  }
  uint32_t pointer = JetReadLE<uint32_t>(cell, 4);
  joined_.clear();
  bool overlong = false;  // a row held more than the stated length
  try {
    if (flags & kJetLongValueOneRow) {
      if (!Claim(pointer)) return std::string_view();
      const std::string_view row = Row(JetPointerPage(pointer), JetPointerRow(pointer));
      cut = length != row.size();
      return row.substr(0, length);
    }
    if (flags != 0) return std::string_view();
    // Every row claimed adds bytes, so the chain ends within the file's rows.
    while (joined_.size() < length && pointer != 0 && Claim(pointer)) {
      const std::string_view row = Row(JetPointerPage(pointer), JetPointerRow(pointer));
      if (row.size() <= 4) break;
      pointer = JetReadLE<uint32_t>(row, 0);
      const size_t take = std::min(row.size() - 4, length - joined_.size());
      joined_.append(row.data() + 4, take);
      overlong = take != row.size() - 4;
      if (overlong) break;
    }
  } catch (const EJetError&) {
    // A pointer to no page or no row: the value ends before it.
  }
  cut = overlong || joined_.size() != length || pointer != 0;
  return joined_;
}

std::string_view JetLongValueReader::Row(uint32_t page, uint32_t row) {
  CachedPage* slot = nullptr;
  for (CachedPage& candidate : pages_)
    if (candidate.valid && candidate.number == page) slot = &candidate;
  if (!slot) {
    slot = &pages_[0];  // an unused slot, else the one used longest ago
    for (CachedPage& candidate : pages_)
      if (!candidate.valid || (slot->valid && candidate.lastUse < slot->lastUse)) slot = &candidate;
    slot->valid = false;
    if (page == 0 || !file_.ReadPage(page, slot->bytes) || JetByte(slot->bytes, 0) != kJetDataPage)
      throw EJetError(u"A long value points to a page that cannot be read.");
    slot->number = page;
    slot->valid = true;
  }
  slot->lastUse = ++uses_;
  std::optional<JetDataPage::Row> bounds = JetDataPage(file_.Format(), slot->bytes).FindRow(row);
  if (!bounds || bounds->overflowPointer) throw EJetError(u"A long value points to a row that does not exist.");
  return std::string_view(slot->bytes).substr(static_cast<size_t>(bounds->start), static_cast<size_t>(bounds->size()));
}
