#include "jet/jet_definition_repair.h"

#include <algorithm>
#include <functional>
#include <set>
#include <string>

#include "jet/jet_column_rules.h"
#include "jet/jet_data_page.h"
#include "jet/jet_definition_search.h"
#include "jet/jet_error.h"
#include "jet/jet_salvage_scan.h"
#include "jet/jet_value_decoding.h"

namespace {

using Column = JetTableDefinition::Column;

constexpr uint32_t kSamplePages = 8;     // data pages of the table read to judge a definition
constexpr size_t kSampleRows = 256;      // of which at most this many rows
constexpr uint32_t kMaxRealIndexes = 32;  // Access keeps at most 32 indexes a table
constexpr size_t kMaxColumns = 255;       // and at most 255 columns
constexpr int kMaxColumnNumber = 4096;    // numbers grow past 255 as columns are deleted and added
constexpr size_t kMaxNameCharacters = 64;
constexpr size_t kMaxChoices = 8;         // values tried for a damaged number or variable index
constexpr size_t kMaxScored = 64;         // ways of reading one column tried on the sample
constexpr size_t kNone = static_cast<size_t>(-1);

// The definition's bytes: its first page whole, whatever its page type says
// (the catalog or the table's data pages lead to it), then each further page
// from byte 8 on while it is a definition page not read before.
std::string ReadDefinitionBytes(const JetFile& file, uint32_t first) {
  std::string bytes, page;
  if (!file.ReadPage(first, page)) return bytes;
  bytes = page;
  std::set<uint32_t> seen{first};
  for (uint32_t next = JetReadLE<uint32_t>(page, kJetDefinitionNextPage); next != 0;
       next = JetReadLE<uint32_t>(page, kJetDefinitionNextPage)) {
    if (!seen.insert(next).second || !file.ReadPage(next, page) || JetByte(page, 0) != kJetTableDefinitionPage) break;
    bytes.append(page, kJetDefinitionContinuation, std::string::npos);
  }
  return bytes;
}

// The names part of a definition: at each byte, whether a well-formed name
// (its length, then that many bytes of a column name) starts there.
class NameBytes {
 public:
  NameBytes(const JetFormat& format, const std::string& bytes, int codePage)
      : format_(format), bytes_(bytes), codePage_(codePage), lengthSize_(static_cast<size_t>(format.columnNameLengthSize)) {
    wellFormed_.resize(bytes.size());
    for (size_t at = 0; at < bytes.size(); ++at) wellFormed_[at] = LooksRight(at);
  }

  size_t LengthSize() const { return lengthSize_; }
  bool WellFormedAt(size_t at) const { return at < wellFormed_.size() && wellFormed_[at]; }
  // Where the name that starts at `at` would end; kNone past the bytes.
  size_t EndOf(size_t at) const {
    if (at + lengthSize_ > bytes_.size()) return kNone;
    const size_t end = at + lengthSize_ + Length(at);
    return end <= bytes_.size() ? end : kNone;
  }
  UnicodeString Text(size_t from, size_t to) const {
    const std::string_view b = std::string_view(bytes_).substr(from, to - from);
    return format_.jet3 ? DecodeJet3Text(b, codePage_) : DecodeJet4Text(b);
  }

 private:
  size_t Length(size_t at) const {
    return lengthSize_ == 1 ? JetByte(bytes_, at) : JetReadLE<uint16_t>(bytes_, at);
  }
  bool LooksRight(size_t at) const {
    const size_t end = EndOf(at);
    if (end == kNone || end == at + lengthSize_) return false;
    const size_t from = at + lengthSize_;
    // Jet 4 names are UTF-16: an even length unless compressed (FF FE).
    const bool compressed = end - from >= 2 && JetByte(bytes_, from) == 0xFF && JetByte(bytes_, from + 1) == 0xFE;
    if (!format_.jet3 && (end - from) % 2 != 0 && !compressed) return false;
    if (end - from > 2 * kMaxNameCharacters + 2) return false;
    const UnicodeString text = Text(from, end);
    return !text.empty() && text.size() <= kMaxNameCharacters &&
           std::all_of(text.begin(), text.end(), [](char16_t c) { return c >= 0x20 && c != 0xFFFF && c != 0xFFFE; });
  }

  const JetFormat& format_;
  const std::string& bytes_;
  int codePage_;
  size_t lengthSize_;
  std::vector<bool> wellFormed_;
};

struct Name {
  UnicodeString text;  // as far as it can be read; empty when unknown
  bool wellFormed = false;
};

// The `count` names from `at` on. A name that does not look right keeps its
// length when the next name starts right after it; else its length is taken
// to be damaged and the next name is the first place after it where a name
// (and the one after it) look right.
std::vector<Name> ReadNames(const NameBytes& b, size_t at, size_t count) {
  std::vector<Name> names;
  while (names.size() < count) {
    const size_t end = b.EndOf(at);
    const bool last = names.size() + 1 == count;
    auto startsNames = [&](size_t from, size_t ahead) {
      return b.WellFormedAt(from) && (ahead == 0 || b.WellFormedAt(b.EndOf(from)));
    };
    if (b.WellFormedAt(at)) {
      names.push_back({b.Text(at + b.LengthSize(), end), true});
      at = end;
      continue;
    }
    if (last) {
      if (end != kNone) names.push_back({b.Text(at + b.LengthSize(), end), false});
      break;
    }
    const size_t ahead = names.size() + 2 < count ? 1 : 0;
    size_t next = end != kNone && startsNames(end, ahead) ? end : kNone;
    for (size_t q = at + b.LengthSize() + 1; next == kNone && q <= at + b.LengthSize() + 4 * kMaxNameCharacters; ++q)
      if (startsNames(q, ahead)) next = q;
    if (next == kNone) break;  // the rest cannot be told
    names.push_back({b.Text(at + b.LengthSize(), next), false});
    at = next;
  }
  names.resize(count);
  return names;
}

bool EntryLooksRight(const JetFormat& f, const Column& c) {
  return JetColumnTypeIsKnown(c.type) && JetColumnIsWellFormed(f, c, kMaxColumnNumber);
}

// One column entry and its name, as the damaged definition shows them.
struct Slot {
  Column entry;
  bool entryWellFormed = false;
  Name name;
};

struct Slots {
  std::vector<Slot> slots;
  int limit = 0;  // numbers and variable indexes lie below it
};

// Where the entries and names lie: the counts of real indexes and columns
// under which the most entries and names look right; the header's counts
// win a tie, then fewer columns.
Slots ReadSlots(const JetFormat& f, const std::string& bytes, int codePage) {
  auto headerField = [&](int offset, size_t size) -> uint32_t {
    if (static_cast<size_t>(offset) + size > bytes.size()) return 0;
    return size == 2 ? JetReadLE<uint16_t>(bytes, static_cast<size_t>(offset)) : JetReadLE<uint32_t>(bytes, static_cast<size_t>(offset));
  };
  const uint32_t statedIndexes = headerField(f.definitionRealIndexCount, 4);
  const uint32_t statedCount = headerField(f.definitionColumnCount, 2);
  const uint32_t statedMaximum = headerField(f.definitionMaxColumns, 2);
  const NameBytes names(f, bytes, codePage);
  const size_t entrySize = static_cast<size_t>(f.columnEntrySize);
  std::vector<char> entryOk(bytes.size(), 0);
  for (size_t at = 0; at + entrySize <= bytes.size(); ++at)
    entryOk[at] = EntryLooksRight(f, JetTableDefinition::ReadColumnEntry(f, std::string_view(bytes).substr(at, entrySize)));

  struct Best {
    size_t entries = 0, count = 0;
    int score = 0, stated = 0;
  } best;
  std::vector<uint32_t> indexCounts{statedIndexes};
  for (uint32_t r = 0; r <= kMaxRealIndexes; ++r)
    if (r != statedIndexes) indexCounts.push_back(r);
  for (const uint32_t r : indexCounts) {
    const size_t entries = static_cast<size_t>(f.definitionFirstRealIndex) + r * static_cast<size_t>(f.realIndexEntrySize);
    int entriesRight = 0;
    for (size_t n = 1; n <= kMaxColumns && entries + n * entrySize <= bytes.size(); ++n) {
      entriesRight += entryOk[entries + (n - 1) * entrySize];
      int score = entriesRight;
      size_t at = entries + n * entrySize;
      for (size_t k = 0; k < n && names.WellFormedAt(at); ++k, at = names.EndOf(at)) ++score;
      const int stated = (r == statedIndexes) + (n == statedCount);
      if (score > best.score || (score == best.score && stated > best.stated))
        best = {entries, n, score, stated};
    }
  }
  Slots s;
  s.slots.resize(best.count);
  const std::vector<Name> read = ReadNames(names, best.entries + best.count * entrySize, best.count);
  for (size_t i = 0; i < best.count; ++i) {
    const size_t at = best.entries + i * entrySize;
    s.slots[i].entry = JetTableDefinition::ReadColumnEntry(f, std::string_view(bytes).substr(at, entrySize));
    s.slots[i].entryWellFormed = entryOk[at] != 0;
    s.slots[i].name = read[i];
  }
  // Deleted columns leave their numbers unused: the header's maximum counts them.
  const bool maximumFits = statedMaximum >= best.count && statedMaximum <= static_cast<uint32_t>(kMaxColumnNumber);
  s.limit = static_cast<int>(maximumFits ? statedMaximum : best.count);
  return s;
}

size_t EditDistance(const UnicodeString& a, const UnicodeString& b) {
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (AsciiUpper(a[i - 1]) == AsciiUpper(b[j - 1]) ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

// The pages that hold the table's rows, the first kSamplePages of them.
std::vector<uint32_t> SamplePages(const JetFile& file, uint32_t definitionPage) {
  std::vector<uint32_t> pages;
  std::string page;
  for (uint32_t number = 1; number < file.PageCount() && pages.size() < kSamplePages; ++number) {
    if (!file.ReadPage(number, page)) continue;
    const JetDataPage data(file.Format(), page);
    if (data.IsData() && !data.HoldsLongValues() && data.Owner() == definitionPage && data.RowCount())
      pages.push_back(number);
  }
  return pages;
}

// A value a text column may hold, read whole: none, or text without control
// characters. A long value cut short counts as failed: a text cell read as
// a memo is one.
bool ReadsAsText(const JetPartialRow::Cell& cell) {
  if (cell.state != JetPartialRow::State::kRead) return false;
  if (cell.value.IsNull()) return true;
  if (!cell.value.IsString()) return false;
  const UnicodeString text = cell.value.ToString();
  return std::all_of(text.begin(), text.end(), [](char16_t c) { return c >= 0x20 || c == '\t' || c == '\n' || c == '\r'; });
}

// What the sample's first rows hold of one column read one way.
struct Tally {
  int values = 0;  // text
  int nulls = 0;
  int failed = 0;  // unreadable, or not text
  int Read() const { return values + nulls; }
  // Most of the values the column holds fail: no damaged row does that to
  // a column, a damaged definition does.
  bool MostlyFails() const { return failed > 0 && failed >= values; }
};

Tally Score(const std::shared_ptr<const JetFile>& file, UnicodeStringView table, uint32_t page,
            const std::vector<uint32_t>& sample, const Column& column) {
  Tally tally;
  if (sample.empty()) return tally;
  JetSalvageScan scan(file, UnicodeString(table), page, JetTableDefinition::OfColumns({column}, kMaxColumnNumber),
                      sample);
  JetPartialRow row;
  // Rows passed over count too, so that every way of reading sees the same rows.
  for (size_t rows = 0; rows + scan.PassedOver().size() < kSampleRows && scan.Next(row); ++rows) {
    const JetPartialRow::Cell& cell = row.cells[0];
    if (!ReadsAsText(cell)) ++tally.failed;
    else if (cell.value.IsNull()) ++tally.nulls;
    else ++tally.values;
  }
  tally.failed += static_cast<int>(scan.PassedOver().size());
  return tally;
}

// One way to read a wanted column: which entry, and the column built from it.
struct Choice {
  size_t slot;
  Column column;
  size_t cost;  // how far it departs from what the damaged definition says
  int score = 0;
};

// The values a number or variable index may take: the entry's own when in
// range, then those no other well-formed entry takes.
std::vector<std::pair<int, size_t>> Values(int own, int limit, const std::set<int>& taken) {
  std::vector<std::pair<int, size_t>> values;
  if (own < limit) values.push_back({own, 0});
  for (int v = 0; v < limit && values.size() < kMaxChoices; ++v)
    if (v != own && !taken.count(v)) values.push_back({v, 1});
  return values;
}

std::vector<Choice> ChoicesFor(const JetFormat& f, const UnicodeString& wanted, const Slots& read,
                               const std::vector<UnicodeString>& allWanted) {
  const std::vector<Slot>& slots = read.slots;
  auto named = [&](const Slot& s, const UnicodeString& name) { return SameText(s.name.text, name); };
  std::vector<size_t> candidates;
  for (size_t i = 0; i < slots.size(); ++i)
    if (named(slots[i], wanted)) candidates = {i};
  if (candidates.empty()) {
    for (size_t i = 0; i < slots.size(); ++i)
      if (std::none_of(allWanted.begin(), allWanted.end(), [&](const UnicodeString& w) { return named(slots[i], w); }))
        candidates.push_back(i);
  }
  const int limit = read.limit;
  std::vector<Choice> choices;
  for (const size_t i : candidates) {
    std::set<int> numbers, indexes;
    for (size_t j = 0; j < slots.size(); ++j) {
      if (j == i || !slots[j].entryWellFormed) continue;
      numbers.insert(slots[j].entry.number);
      if (!slots[j].entry.fixed) indexes.insert(slots[j].entry.variableIndex);
    }
    const Column& e = slots[i].entry;
    const size_t nameCost = named(slots[i], wanted) ? 0 : 1 + EditDistance(slots[i].name.text, wanted);
    for (const int type : {kJetText, kJetMemo})
      for (const auto& [number, numberCost] : Values(e.number, limit, numbers))
        for (const auto& [index, indexCost] : Values(e.fixed ? limit : e.variableIndex, limit, indexes)) {
          Column c;
          c.name = wanted;
          c.type = c.resultType = type;
          c.number = number;
          c.variableIndex = index;
          // A text as long as any; a damaged size would cut or refuse keys.
          c.size = type == kJetText ? (f.jet3 ? 255 : 510) : 0;
          const size_t cost = nameCost + (type != e.type) + (e.fixed ? 1 : 0) + numberCost + indexCost;
          choices.push_back({i, c, cost});
        }
  }
  // Each choice costs a read of the sample: the likeliest few are read.
  std::stable_sort(choices.begin(), choices.end(), [](const Choice& a, const Choice& b) { return a.cost < b.cost; });
  if (choices.size() > kMaxScored) choices.resize(kMaxScored);
  return choices;
}

struct Repair {
  std::vector<Column> columns;
  int score = 0;
};

// The combination of one choice a column (no entry, number or variable index
// taken twice) with the highest score, the lowest cost on a tie.
std::optional<Repair> Combine(const std::vector<std::vector<Choice>>& choices) {
  std::optional<Repair> best;
  size_t bestCost = 0;
  std::vector<const Choice*> picked;
  std::function<void(size_t, int, size_t)> pick = [&](size_t k, int score, size_t cost) {
    if (k == choices.size()) {
      if (!best || score > best->score || (score == best->score && cost < bestCost)) {
        best = Repair{{}, score};
        for (const Choice* c : picked) best->columns.push_back(c->column);
        bestCost = cost;
      }
      return;
    }
    for (const Choice& c : choices[k]) {
      if (c.score == 0) continue;
      const bool clash = std::any_of(picked.begin(), picked.end(), [&](const Choice* p) {
        return p->slot == c.slot || p->column.number == c.column.number ||
               p->column.variableIndex == c.column.variableIndex;
      });
      if (clash) continue;
      picked.push_back(&c);
      pick(k + 1, score + c.score, cost + c.cost);
      picked.pop_back();
    }
  };
  pick(0, 0, 0);
  return best;
}

// Only the best few choices of each column are combined.
constexpr size_t kCombined = 16;

std::optional<Repair> RepairDefinition(const std::shared_ptr<const JetFile>& file, UnicodeStringView table,
                                       uint32_t page, const std::vector<uint32_t>& sample,
                                       const std::vector<UnicodeString>& wanted) {
  const std::string bytes = ReadDefinitionBytes(*file, page);
  if (bytes.empty() || sample.empty()) return std::nullopt;
  const Slots slots = ReadSlots(file->Format(), bytes, file->TextCodePage());
  std::vector<std::vector<Choice>> choices;
  for (const UnicodeString& w : wanted) {
    std::vector<Choice> c = ChoicesFor(file->Format(), w, slots, wanted);
    for (Choice& choice : c) choice.score = Score(file, table, page, sample, choice.column).Read();
    std::stable_sort(c.begin(), c.end(), [](const Choice& a, const Choice& b) {
      return a.score != b.score ? a.score > b.score : a.cost < b.cost;
    });
    if (c.size() > kCombined) c.resize(kCombined);
    choices.push_back(std::move(c));
  }
  return Combine(choices);
}

std::optional<JetTableDefinition> ReadWhole(const JetFile& file, uint32_t page) {
  try {
    return JetTableDefinition::Read(file.Format(), page, file.TextCodePage(),
                                    [&](uint32_t number, std::string& bytes) { return file.ReadPage(number, bytes); });
  } catch (const EJetError&) {
    return std::nullopt;
  }
}

UnicodeString Repaired(UnicodeStringView table, uint32_t page) {
  return FormatText(u"The definition of table '%s' on page %d is damaged; its columns were repaired as its rows show them.",
                    {UnicodeString(table), static_cast<int64_t>(page)});
}

}  // namespace

std::optional<JetSalvageDefinition> FindSalvageDefinition(const std::shared_ptr<const JetFile>& file,
                                                          UnicodeStringView name,
                                                          const std::vector<UnicodeString>& wanted,
                                                          std::vector<UnicodeString>& damage) {
  uint32_t catalogPage = 0;
  const auto found = FindTableDefinition(file, name, wanted, damage, &catalogPage);
  std::optional<JetTableDefinition> whole;
  if (found) whole = ReadWhole(*file, found->page);
  if (whole) {
    const std::vector<uint32_t> sample = SamplePages(*file, found->page);
    int read = 0;
    bool mostlyFails = false;
    for (const Column& c : whole->Columns()) {
      if (std::none_of(wanted.begin(), wanted.end(), [&](const UnicodeString& w) { return SameText(c.name, w); }))
        continue;
      const Tally tally = Score(file, name, found->page, sample, c);
      read += tally.Read();
      mostlyFails = mostlyFails || tally.MostlyFails();
    }
    if (mostlyFails) {
      const std::optional<Repair> repair = RepairDefinition(file, name, found->page, sample, wanted);
      if (repair && repair->score > read) {
        damage.push_back(Repaired(name, found->page));
        return JetSalvageDefinition{found->page, found->fromCatalog, true,
                                    JetTableDefinition::OfColumns(repair->columns, kMaxColumnNumber)};
      }
    }
    return JetSalvageDefinition{found->page, found->fromCatalog, false, std::move(*whole)};
  }
  // No definition reads whole: the catalog's page, else each definition
  // page with one of the wanted columns' names, repaired.
  std::vector<uint32_t> pages;
  if (catalogPage != 0) pages.push_back(catalogPage);
  std::string page;
  for (uint32_t number = 1; number < file->PageCount(); ++number) {
    if (number == catalogPage || !file->ReadPage(number, page) || JetByte(page, 0) != kJetTableDefinitionPage) continue;
    const Slots read = ReadSlots(file->Format(), ReadDefinitionBytes(*file, number), file->TextCodePage());
    const bool names = std::any_of(read.slots.begin(), read.slots.end(), [&](const Slot& s) {
      return std::any_of(wanted.begin(), wanted.end(), [&](const UnicodeString& w) { return SameText(s.name.text, w); });
    });
    if (names) pages.push_back(number);
  }
  std::optional<Repair> best;
  uint32_t bestPage = 0;
  for (const uint32_t p : pages) {
    std::optional<Repair> repair = RepairDefinition(file, name, p, SamplePages(*file, p), wanted);
    if (repair && (!best || repair->score > best->score)) {
      best = std::move(repair);
      bestPage = p;
    }
  }
  if (!best) return std::nullopt;
  damage.push_back(Repaired(name, bestPage));
  return JetSalvageDefinition{bestPage, bestPage == catalogPage, true,
                              JetTableDefinition::OfColumns(best->columns, kMaxColumnNumber)};
}
