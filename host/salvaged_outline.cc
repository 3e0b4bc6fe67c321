#include "host/salvaged_outline.h"

#include <cstring>
#include <optional>
#include <string>
#include <unordered_map>

#include "host/markup_text.h"
#include "host/outline_cursor.h"
#include "outline/tree_items_collection.h"
#include "outline/tree_items_parser.h"
#include "platform/code_page.h"
#include "plugin/arvoline_plugin.h"
#include "rtf/plain_text.h"
#include "runtime/exceptions.h"
#include "runtime/str_to_int.h"
#include "runtime/utf8.h"

namespace {

// How long an invented title's first line of text may be, in bytes.
constexpr size_t kFirstLineRoom = 80;

const char kNoRecord[] = "its record is missing or cannot be read";

// Text up to its first zero byte: what a content or title buffer holds.
std::string UpToZero(std::string text) {
  text.resize(std::strlen(text.c_str()));
  return text;
}

// A memo value as the plug-in's dataset hands it out: UTF-8, up to a zero.
std::string DeliveredContent(const SalvagedText& value) { return UpToZero(AnsiToUtf8(value.ansi)); }

// A title as the plug-in writes it into the document record.
std::string DeliveredTitle(const UnicodeString& title) {
  const std::string utf8 = ToUtf8(title);
  return UpToZero(utf8.substr(0, Utf8PrefixLength(utf8, kDocumentTitleRoom - 1)));
}

// The length of the whole entries at the start of `ansi`, an outline text cut
// short: the parser reads a cut entry as if whole (a shorter key or title),
// so a cut outline is parsed only up to its last whole entry. The widths are
// the outline format's: key lengths 2, title length 3, 9 trailing bytes.
size_t WholeEntries(const std::string& ansi) {
  size_t whole = 0;
  size_t at = 0;
  for (;;) {
    for (const size_t width : {2, 2, 3}) {
      int32_t length = 0;
      if (at + width > ansi.size() || !TryStrToInt(FromAnsi(ansi.substr(at, width)), length) || length < 0)
        return whole;
      at += width + static_cast<size_t>(length);
    }
    at += 9;
    if (at > ansi.size()) return whole;
    whole = at;
  }
}

// The outline text as the plug-in's dataset hands it to the parser, and what
// keeps it from being the whole outline.
UnicodeString OutlineText(const SalvagedTable& table, std::optional<std::string>& problem) {
  if (!table.rootFound) {
    problem = "the root record is missing or cannot be read";
    return UnicodeString();
  }
  std::string ansi = table.outline.ansi;
  if (table.outline.state == SalvagedText::kUnreadable) {
    problem = "the outline cannot be read: " + ToUtf8(table.outline.damage);
  } else if (table.outline.state == SalvagedText::kCut) {
    ansi.resize(WholeEntries(ansi));
    problem = "the outline is cut short: " + ToUtf8(table.outline.damage);
  }
  return FromAnsi(ansi);
}

// "KEY: first line of its text".
std::string InventedTitle(const SalvagedRecord& record) {
  std::string text = ReadableText(rtf::ContentText(DeliveredContent(record.content)));
  std::string line;
  for (size_t start = 0; start < text.size() && line.empty();) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    line = text.substr(start, end - start);
    const size_t first = line.find_first_not_of(" \t\r");
    line = first == std::string::npos ? "" : line.substr(first, line.find_last_not_of(" \t\r") + 1 - first);
    start = end + 1;
  }
  const std::string key = DeliveredTitle(record.key);
  if (line.empty()) return key;
  return key + ": " + line.substr(0, Utf8PrefixLength(line, kFirstLineRoom));
}

// What happened to a record's content, for the report; empty when whole.
std::optional<std::pair<LostNote::Kind, std::string>> ContentDamage(const SalvagedText& content) {
  if (content.state == SalvagedText::kCut) return std::make_pair(LostNote::kContentCut, ToUtf8(content.damage));
  if (content.state == SalvagedText::kUnreadable) return std::make_pair(LostNote::kLostContent, ToUtf8(content.damage));
  return std::nullopt;
}

}  // namespace

std::vector<LostNote> DeliverSalvagedDocuments(const SalvagedTable& table, const NodeTableNames& names,
                                               const std::function<void(const ImportedDocument&)>& onDocument) {
  std::vector<LostNote> lost;
  std::optional<std::string> problem;
  TreeItemsCollection items;
  try {
    TreeItemsParser().Parse(OutlineText(table, problem), items);
  } catch (const Exception& e) {
    problem = "the outline stops at entry " + std::to_string(items.Count() + 1) + ": " + ToUtf8(e.Message());
  }
  if (problem) lost.push_back({LostNote::kLostEntirely, "", "", ToUtf8(names.root), *problem});

  // The plug-in finds records by their key stored in the active code page,
  // the first of equal keys in table order.
  std::unordered_map<std::string, size_t> byKey;
  for (size_t i = 0; i < table.records.size(); ++i) byKey.emplace(ToAnsi(table.records[i].key), i);
  std::vector<bool> reached(table.records.size());
  if (table.rootFound) reached[table.root] = true;  // holds the outline, a note only where an entry names it

  OutlineCursor cursor;
  for (int32_t i = 0; i < items.Count(); ++i) {
    const TreeItem item = items.Item(i);
    ImportedDocument document;
    document.level = item.level;
    document.title = DeliveredTitle(item.title);
    const std::string position = cursor.Next(item.level).position;
    const auto found = byKey.find(ToAnsi(item.key));
    if (found == byKey.end()) {
      lost.push_back({LostNote::kLostContent, position, document.title, ToUtf8(item.key), kNoRecord});
    } else {
      const SalvagedRecord& record = table.records[found->second];
      reached[found->second] = true;
      document.content = DeliveredContent(record.content);
      if (const auto damage = ContentDamage(record.content))
        lost.push_back({damage->first, position, document.title, ToUtf8(item.key), damage->second});
    }
    onDocument(document);
  }

  bool heading = false;
  for (size_t i = 0; i < table.records.size(); ++i) {
    if (reached[i]) continue;
    const SalvagedRecord& record = table.records[i];
    if (!problem) {
      lost.push_back({LostNote::kNeverReached, "", "", ToUtf8(record.key), "no outline entry names its record"});
      continue;
    }
    if (!heading) {
      heading = true;
      onDocument(ImportedDocument{0, kRecoveredNotesTitle, ""});
      cursor.Next(0);
    }
    const ImportedDocument document{1, InventedTitle(record), DeliveredContent(record.content)};
    std::string reason = std::string("moved to \"") + kRecoveredNotesTitle + "\", its title made from its key and text";
    if (const auto damage = ContentDamage(record.content))
      reason += std::string(damage->first == LostNote::kContentCut ? "; content cut: " : "; content lost: ") +
                damage->second;
    lost.push_back({LostNote::kRecovered, cursor.Next(1).position, document.title, ToUtf8(record.key), reason});
    onDocument(document);
  }
  for (const UnicodeString& passed : table.passedOver)
    lost.push_back({LostNote::kLostEntirely, "", "", "", ToUtf8(passed)});
  return lost;
}
