#include "tools/damage_corpus/file_damage.h"

#include <algorithm>
#include <stdexcept>

#include "tools/damage_corpus/database_layout.h"

namespace damage_corpus {

namespace {

// What a damage function is given: the undamaged database, its layout, the
// copy to damage.
struct Target {
  const CorpusDatabase& db;
  const DatabaseLayout& layout;
  SeededRandom& random;
  std::string& copy;
};

size_t RandomOffset(Target& t, ByteRange range) {
  return range.begin + static_cast<size_t>(t.random.Below(range.end - range.begin));
}

void OverwriteRandomly(Target& t, size_t at, size_t count) {
  for (size_t i = 0; i < count && at + i < t.copy.size(); ++i) t.copy[at + i] = static_cast<char>(t.random.Byte());
}

void WriteLE(std::string& bytes, size_t at, uint32_t value, int size) {
  for (int i = 0; i < size; ++i) bytes.at(at + static_cast<size_t>(i)) = static_cast<char>(value >> (8 * i));
}

uint32_t RandomPage(Target& t) { return 1 + static_cast<uint32_t>(t.random.Below(t.layout.PageCount() - 1)); }

constexpr uint32_t kCatalogDefinition = 2;  // MSysObjects' definition, in every file

uint32_t NodeTableDefinition(Target& t) {
  return t.layout.DefinitionWithColumn(accessdb::NamesOf(t.db.options.variant).content_field);
}

// Half the time the whole file, where most bytes are the notes' texts; else
// one data page of the node table, where the rows' own structure lies.
ByteRange BlindArea(Target& t, std::string& where) {
  if (t.random.Chance(50)) return {0, t.copy.size()};
  const std::vector<uint32_t> pages = t.layout.DataPages(NodeTableDefinition(t));
  const uint32_t page = pages[t.random.Below(pages.size())];
  where = " on data page " + std::to_string(page) + " of the node table";
  return t.layout.Page(page);
}

std::string BitFlips(Target& t) {
  std::string where;
  const ByteRange area = BlindArea(t, where);
  const auto flips = t.random.Between(1, 16);
  for (auto i = flips; i > 0; --i) t.copy[RandomOffset(t, area)] ^= static_cast<char>(1 << t.random.Below(8));
  return std::to_string(flips) + " bits flipped" + where;
}

std::string OverwrittenBytes(Target& t) {
  std::string where;
  const ByteRange area = BlindArea(t, where);
  const size_t count = static_cast<size_t>(t.random.Between(1, where.empty() ? 256 : 16));
  OverwriteRandomly(t, RandomOffset(t, area), count);
  return std::to_string(count) + " bytes overwritten" + where;
}

std::string ZeroedPage(Target& t) {
  const uint32_t page = RandomPage(t);
  const ByteRange bytes = t.layout.Page(page);
  std::fill(t.copy.begin() + static_cast<long>(bytes.begin), t.copy.begin() + static_cast<long>(bytes.end), '\0');
  return "page " + std::to_string(page) + " zeroed";
}

std::string SwappedPages(Target& t) {
  const uint32_t a = RandomPage(t);
  uint32_t b = RandomPage(t);
  if (b == a) b = a + 1 < t.layout.PageCount() ? a + 1 : 1;
  std::swap_ranges(t.copy.begin() + static_cast<long>(t.layout.Page(a).begin),
                   t.copy.begin() + static_cast<long>(t.layout.Page(a).end),
                   t.copy.begin() + static_cast<long>(t.layout.Page(b).begin));
  return "pages " + std::to_string(a) + " and " + std::to_string(b) + " swapped";
}

std::string CutFile(Target& t) {
  size_t size = RandomOffset(t, {t.layout.PageSize(), t.copy.size()});
  if (t.random.Chance(50)) size -= size % t.layout.PageSize();
  t.copy.resize(size);
  return "cut to " + std::to_string(size) + " bytes";
}

std::string TableDefinition(Target& t) {
  const uint32_t page = NodeTableDefinition(t);
  const ByteRange bytes = t.layout.Page(page);
  const auto count = t.random.Between(1, 6);
  for (auto i = count; i > 0; --i) {
    // Mostly the header and the first column entries, where a byte matters most.
    const ByteRange area = t.random.Chance(70) ? ByteRange{bytes.begin, bytes.begin + 200} : bytes;
    OverwriteRandomly(t, RandomOffset(t, area), 1);
  }
  return std::to_string(count) + " bytes of the node table's definition (page " + std::to_string(page) + ") overwritten";
}

// The 12 bytes a row holds for a long value stored elsewhere: the length and
// flags, and the pointer to its (first) row. Its file offset, found by
// value; npos when not found exactly once.
size_t LongValueHeader(Target& t, const std::vector<ByteRange>& pieces) {
  const auto first = t.layout.RowAt(pieces.front().begin);
  if (!first) return std::string::npos;
  const bool chain = pieces.size() > 1;
  size_t size = 0;
  for (const ByteRange& piece : pieces) size += piece.end - piece.begin;
  std::string header(8, '\0');
  WriteLE(header, 0, static_cast<uint32_t>(size) | (chain ? 0u : 0x40u) << 24, 4);
  WriteLE(header, 4, first->page << 8 | first->number, 4);
  const size_t at = t.db.bytes.find(header);
  if (at == std::string::npos || t.db.bytes.find(header, at + 1) != std::string::npos) return std::string::npos;
  return at;
}

// Damage to one long value (`pieces`, the file bytes of its stored form).
std::string DamageLongValue(Target& t, const std::vector<ByteRange>& pieces) {
  const ByteRange piece = pieces[t.random.Below(pieces.size())];
  const auto row = t.layout.RowAt(piece.begin);
  if (!row) throw std::logic_error("a long value outside any row");
  switch (t.random.Below(4)) {
    case 0: {
      const size_t header = LongValueHeader(t, pieces);
      if (header == std::string::npos) break;
      switch (t.random.Below(3)) {
        case 0: OverwriteRandomly(t, header, 3); return "its length in the row overwritten";
        case 1: t.copy[header + 3] = static_cast<char>(t.random.Chance(50) ? 0x80 : t.copy[header + 3] ^ 0x40); return "its flags in the row changed";
        default: WriteLE(t.copy, header + 4, RandomPage(t) << 8 | static_cast<uint32_t>(t.random.Below(4)), 4); return "its pointer in the row changed";
      }
    }
    case 1:
      OverwriteRandomly(t, row->offsetEntry, 2);
      return "the offset entry of its row on page " + std::to_string(row->page) + " overwritten";
    case 2:
      if (pieces.size() == 1) break;
      WriteLE(t.copy, row->bytes.begin, RandomPage(t) << 8 | static_cast<uint32_t>(t.random.Below(4)), 4);
      return "a chain pointer changed on page " + std::to_string(row->page);
    default:
      break;
  }
  // The row made shorter from its start, as a torn write leaves it.
  const auto length = static_cast<int64_t>(row->bytes.end - row->bytes.begin);
  const size_t cut = static_cast<size_t>(t.random.Between(1, std::max<int64_t>(1, length - 1)));
  const uint32_t entry = static_cast<unsigned char>(t.copy[row->offsetEntry]) | static_cast<unsigned char>(t.copy[row->offsetEntry + 1]) << 8;
  WriteLE(t.copy, row->offsetEntry, (entry & 0xE000) | ((entry & 0x1FFF) + static_cast<uint32_t>(cut)), 2);
  return "its row on page " + std::to_string(row->page) + " cut by " + std::to_string(cut) + " bytes";
}

std::string LongValue(Target& t) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    const size_t note = static_cast<size_t>(t.random.Below(t.db.notes.size()));
    const std::vector<ByteRange>& pieces = t.db.contents[note];
    if (!t.layout.HoldsLongValues(static_cast<uint32_t>(pieces.front().begin / t.layout.PageSize()))) continue;
    return "content of " + t.db.notes[note].node.key + ": " + DamageLongValue(t, pieces);
  }
  throw std::runtime_error("no content is stored outside its row");
}

std::string UsageMap(Target& t) {
  const DatabaseLayout::Row row = t.layout.UsageMapRow(NodeTableDefinition(t));
  if (t.random.Chance(25)) {
    std::fill(t.copy.begin() + static_cast<long>(row.bytes.begin), t.copy.begin() + static_cast<long>(row.bytes.end), '\0');
    return "the node table's usage map zeroed";
  }
  const auto count = t.random.Between(1, 8);
  for (auto i = count; i > 0; --i) OverwriteRandomly(t, RandomOffset(t, row.bytes), 1);
  return std::to_string(count) + " bytes of the node table's usage map overwritten";
}

std::string Catalog(Target& t) {
  const std::vector<uint32_t> pages = t.layout.DataPages(kCatalogDefinition);
  const uint32_t page = pages[t.random.Below(pages.size())];
  const ByteRange bytes = t.layout.Page(page);
  if (t.random.Chance(25)) {
    std::fill(t.copy.begin() + static_cast<long>(bytes.begin), t.copy.begin() + static_cast<long>(bytes.end), '\0');
    return "catalog page " + std::to_string(page) + " zeroed";
  }
  const auto count = t.random.Between(1, 16);
  const size_t at = RandomOffset(t, bytes);
  OverwriteRandomly(t, at, static_cast<size_t>(count));
  return std::to_string(count) + " bytes of catalog page " + std::to_string(page) + " overwritten";
}

std::string Outline(Target& t) {
  if (t.random.Chance(60)) {
    const ByteRange piece = t.db.outline[t.random.Below(t.db.outline.size())];
    const auto count = t.random.Between(1, 4);
    OverwriteRandomly(t, RandomOffset(t, piece), static_cast<size_t>(count));
    return std::to_string(count) + " bytes of the outline text overwritten";
  }
  return "the outline: " + DamageLongValue(t, t.db.outline);
}

struct Kind {
  const char* name;
  std::string (*apply)(Target&);
};
const Kind kKinds[] = {
    {"bit flips", BitFlips},
    {"overwritten bytes", OverwrittenBytes},
    {"zeroed page", ZeroedPage},
    {"swapped pages", SwappedPages},
    {"cut file", CutFile},
    {"table definition", TableDefinition},
    {"long value", LongValue},
    {"usage map", UsageMap},
    {"catalog", Catalog},
    {"outline", Outline},
};

// The byte ranges where `copy` differs from `original`.
std::vector<ByteRange> Differences(const std::string& original, const std::string& copy) {
  std::vector<ByteRange> ranges;
  const size_t common = std::min(original.size(), copy.size());
  for (size_t i = 0; i < common; ++i) {
    if (original[i] == copy[i]) continue;
    if (!ranges.empty() && ranges.back().end == i)
      ++ranges.back().end;
    else
      ranges.push_back({i, i + 1});
  }
  if (copy.size() < original.size()) ranges.push_back({copy.size(), original.size()});
  return ranges;
}

}  // namespace

std::vector<std::string> DamageKinds() {
  std::vector<std::string> names;
  for (const Kind& k : kKinds) names.push_back(k.name);
  return names;
}

Damage DamageCopy(const CorpusDatabase& db, size_t kind, SeededRandom& random, std::string& copy) {
  const DatabaseLayout layout(db.bytes);
  Target target{db, layout, random, copy};
  const Kind& k = kKinds[kind % std::size(kKinds)];
  Damage damage{k.name, k.apply(target), {}};
  damage.changed = Differences(db.bytes, copy);
  return damage;
}

}  // namespace damage_corpus
