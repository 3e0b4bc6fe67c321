#include "host/node_table_check.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <optional>

#include "host/node_table_names.h"
#include "jet/jet_catalog.h"
#include "jet/jet_file.h"
#include "jet/jet_table_cursor.h"
#include "outline/tree_items_parser.h"
#include "runtime/exceptions.h"
#include "runtime/utf8.h"

namespace {

size_t ColumnIndex(const JetTableCursor& cursor, const char16_t* name) {
  const auto& columns = cursor.Columns();
  for (size_t i = 0; i < columns.size(); ++i)
    if (SameText(columns[i].name, name)) return i;
  throw EJetError(u"The table '" + cursor.Name() + u"' has no column '" + name + u"'.");
}

// A record the plug-in cannot have read, whose key still shows whose it was.
struct DamagedRecord {
  UnicodeString key;
  UnicodeString damage;
  // What to report when no outline entry names the key; empty: nothing (a
  // hidden row no entry names may be what Access left of a deleted record).
  std::string unclaimed;
  bool claimed = false;  // an outline entry names its key
  bool operator<(const DamagedRecord& other) const { return key < other.key; }
};

// What one pass over the table found.
struct TableRead {
  UnicodeString outline;
  std::optional<UnicodeString> outlineDamage;
  // Keys of the readable records, in table order.
  std::vector<UnicodeString> keys;
  std::vector<std::pair<UnicodeString, UnicodeString>> damagedContent;  // key, damage; sorted by key
  std::vector<std::pair<uint64_t, UnicodeString>> unreadableRows;       // row number, damage
  // Damaged records whose key still reads, and rows flagged as moved that no
  // pointer leads to (which no reader meets): whose note they held, even
  // where another record (its key damaged into the same) stands in for it.
  std::vector<DamagedRecord> damagedRecords;  // sorted by key
};

// The key a damaged record still shows (its cells before the damage), if any.
std::optional<UnicodeString> KeyShown(JetTableCursor& cursor, size_t key) {
  const std::optional<Variant> shown = cursor.ValueBeforeDamage(key);
  if (shown && shown->IsString()) return shown->ToString();
  return std::nullopt;
}

// Rows flagged as moved that no pointer leads to, which no reader meets:
// whose notes they held, by the keys they show.
void ReadHiddenRecords(JetTableCursor& cursor, size_t key, TableRead& read) {
  for (const uint32_t pointer : cursor.MovedRowsNothingPointsTo()) {
    if (!cursor.MoveToRow(pointer)) continue;
    std::optional<UnicodeString> shown;
    try {
      shown = cursor.Value(key).ToString();
    } catch (const EJetError&) {
      shown = KeyShown(cursor, key);
    }
    if (shown)
      read.damagedRecords.push_back(
          {*shown,
           FormatText(u"its record, row %d of page %d, is flagged as moved, but nothing points to it",
                      {static_cast<int64_t>(JetPointerRow(pointer)), static_cast<int64_t>(JetPointerPage(pointer))}),
           ""});
  }
}

TableRead ReadTable(const std::string& path, const NodeTableNames& names) {
  auto file = std::make_shared<const JetFile>(FromUtf8(path));
  const JetCatalog catalog(file);
  const JetCatalog::Object* table = catalog.FindTable(names.table);
  if (!table) throw EJetError(UnicodeString(u"The database has no table '") + names.table + u"'.");
  JetTableCursor cursor(file, table->name, table->DefinitionPage());
  const size_t key = ColumnIndex(cursor, kNodeKeyField);
  const size_t structure = ColumnIndex(cursor, names.structure);
  const size_t content = ColumnIndex(cursor, names.content);

  TableRead read;
  uint64_t row = 0;
  for (bool more = cursor.MoveFirst(); more; more = cursor.MoveNext()) {
    ++row;
    UnicodeString keyText;
    try {
      keyText = cursor.Value(key).ToString();
    } catch (const EJetError& e) {
      const std::optional<UnicodeString> shown = KeyShown(cursor, key);
      if (shown && *shown != names.root)
        read.damagedRecords.push_back(
            {*shown, e.Message(), "row " + std::to_string(row) + " of the table cannot be read: " + ToUtf8(e.Message())});
      else
        read.unreadableRows.emplace_back(row, e.Message());
      continue;
    }
    const bool isRoot = keyText == names.root;
    try {
      if (isRoot)
        read.outline = cursor.Value(structure).ToString();
      else
        cursor.CheckValue(content);  // read only to learn that it can be
      // A damaged null mask reads a stored value as null without raising.
      const size_t field = isRoot ? structure : content;
      if (cursor.NullMaskDisagrees(field))
        throw EJetError(u"The null mask of field '" + cursor.Columns()[field].name + u"' contradicts its row.");
    } catch (const EJetError& e) {
      if (isRoot)
        read.outlineDamage = e.Message();
      else
        read.damagedContent.emplace_back(keyText, e.Message());
    }
    if (!isRoot) read.keys.push_back(std::move(keyText));
  }
  ReadHiddenRecords(cursor, key, read);
  std::sort(read.damagedContent.begin(), read.damagedContent.end());
  std::sort(read.damagedRecords.begin(), read.damagedRecords.end());
  return read;
}

// Finds the record each outline entry names. Tables are mostly stored in
// outline order, so entries are first matched in step with the rows; only
// the entries left over are looked up among the keys sorted (sorting every
// key, like hashing them, showed in the export's profile).
class RecordMatcher {
 public:
  explicit RecordMatcher(const std::vector<UnicodeString>& keys)
      : keys_(keys), named_(keys.size()) {}

  // Whether a record has `key`; it then counts as named.
  bool Match(const UnicodeString& key) {
    if (next_ < keys_.size() && keys_[next_] == key) {
      named_[next_++] = true;
      return true;
    }
    if (sorted_.empty() && !keys_.empty()) {
      sorted_.resize(keys_.size());
      for (size_t i = 0; i < sorted_.size(); ++i) sorted_[i] = i;
      std::sort(sorted_.begin(), sorted_.end(), [&](size_t a, size_t b) { return keys_[a] < keys_[b]; });
    }
    const auto at = std::lower_bound(sorted_.begin(), sorted_.end(), key,
                                     [&](size_t i, const UnicodeString& k) { return keys_[i] < k; });
    if (at == sorted_.end() || keys_[*at] != key) return false;
    named_[*at] = true;
    return true;
  }
  bool Named(size_t index) const { return named_[index]; }

 private:
  const std::vector<UnicodeString>& keys_;
  std::vector<bool> named_;
  std::vector<size_t> sorted_;  // indexes of keys_ by key, once needed
  size_t next_ = 0;
};

// The damage noted for the content of the record keyed `key`, if any: a
// damaged record that shows the key, else the record's damaged content.
// The damaged records it finds count as claimed.
const UnicodeString* ContentDamage(TableRead& read, const UnicodeString& key) {
  auto record = std::lower_bound(read.damagedRecords.begin(), read.damagedRecords.end(), key,
                                 [](const DamagedRecord& r, const UnicodeString& k) { return r.key < k; });
  if (record != read.damagedRecords.end() && record->key == key) {
    for (auto r = record; r != read.damagedRecords.end() && r->key == key; ++r) r->claimed = true;
    return &record->damage;
  }
  const auto at = std::lower_bound(read.damagedContent.begin(), read.damagedContent.end(), key,
                                   [](const auto& entry, const UnicodeString& k) { return entry.first < k; });
  return at != read.damagedContent.end() && at->first == key ? &at->second : nullptr;
}

// Whether every outline entry names a record whose content reads; false too
// when the outline does not parse. The keys alone tell, without the levels
// and titles that only the notes of a damaged database need. `records` has
// then matched every entry.
bool EveryEntryWhole(TableRead& read, RecordMatcher& records) {
  struct Lost {};  // ends the walk at the first entry with a loss
  try {
    TreeItemsParser().WalkKeys(read.outline, [&](UnicodeString&& key) {
      if (!records.Match(key) || ContentDamage(read, key)) throw Lost();
    });
  } catch (const Lost&) {
    return false;
  } catch (const Exception&) {
    return false;  // the full walk tells where the outline stops
  }
  return true;
}

// Outline positions as the exports number them: "1", "1.2", "1.2.3".
class OutlinePosition {
 public:
  void Next(int32_t level) {
    counters_.resize(static_cast<size_t>(level < 0 ? 0 : level) + 1, 0);
    ++counters_.back();
  }
  // Written only for the notes reported.
  std::string Text() const {
    std::string text;
    for (const int c : counters_) text += (text.empty() ? "" : ".") + std::to_string(c);
    return text;
  }

 private:
  std::vector<int> counters_;
};

}  // namespace

std::vector<LostNote> FindLostNotes(const std::string& path) {
  const NodeTableNames& names = NodeTableNamesFor(FromUtf8(path));
  TableRead read;
  try {
    read = ReadTable(path, names);
  } catch (const Exception& e) {
    return {{LostNote::kLostEntirely, "", "", "", "the node table cannot be read: " + ToUtf8(e.Message())}};
  }
  std::vector<LostNote> lost;
  if (read.outlineDamage)
    lost.push_back({LostNote::kLostEntirely, "", "", ToUtf8(names.root),
                    "the outline cannot be read: " + ToUtf8(*read.outlineDamage)});

  // Most databases have no damage, which a walk over the keys shows; only
  // when it finds a loss is the outline walked again for positions and
  // titles, each entry checked as the walk reaches it, none kept. Their
  // notes follow the note on where the outline stops.
  RecordMatcher keysOnly(read.keys), everyEntry(read.keys);
  const bool whole = EveryEntryWhole(read, keysOnly);
  RecordMatcher& records = whole ? keysOnly : everyEntry;
  size_t withoutRecord = 0;
  if (!whole) {
    std::vector<LostNote> entryNotes;
    int32_t entries = 0;
    OutlinePosition position;
    auto checkEntry = [&](TreeItem&& item) {
      ++entries;
      position.Next(item.level);
      const bool found = records.Match(item.key);
      if (const UnicodeString* damage = ContentDamage(read, item.key)) {
        entryNotes.push_back({LostNote::kLostContent, position.Text(), ToUtf8(item.title), ToUtf8(item.key),
                              ToUtf8(*damage)});
      } else if (!found) {
        ++withoutRecord;
        entryNotes.push_back({LostNote::kLostContent, position.Text(), ToUtf8(item.title), ToUtf8(item.key),
                              "its record is missing or cannot be read"});
      }
    };
    try {
      TreeItemsParser().Walk(std::move(read.outline), checkEntry);
    } catch (const Exception& e) {
      // The entries before the damage have been checked.
      lost.push_back({LostNote::kLostEntirely, "", "", ToUtf8(names.root),
                      "the outline stops at entry " + std::to_string(entries + 1) + ": " + ToUtf8(e.Message())});
    }
    lost.insert(lost.end(), std::make_move_iterator(entryNotes.begin()), std::make_move_iterator(entryNotes.end()));
  }
  // An unreadable row is most likely the record of an entry without one; only
  // the rows beyond those are notes lost with their titles.
  for (size_t i = withoutRecord; i < read.unreadableRows.size(); ++i)
    lost.push_back({LostNote::kLostEntirely, "", "", "",
                    "row " + std::to_string(read.unreadableRows[i].first) + " of the table cannot be read: " +
                        ToUtf8(read.unreadableRows[i].second)});
  // Damaged records whose key no entry names.
  for (const DamagedRecord& r : read.damagedRecords)
    if (!r.claimed && !r.unclaimed.empty()) lost.push_back({LostNote::kLostEntirely, "", "", ToUtf8(r.key), r.unclaimed});
  // Records no entry names, in table order.
  for (size_t i = 0; i < read.keys.size(); ++i)
    if (!records.Named(i))
      lost.push_back({LostNote::kNeverReached, "", "", ToUtf8(read.keys[i]), "no outline entry names its record"});
  return lost;
}
