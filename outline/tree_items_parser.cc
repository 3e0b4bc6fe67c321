#include "outline/tree_items_parser.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "platform/code_page.h"
#include "runtime/str_to_int.h"

namespace {

constexpr int32_t kKeyLengthWidth = 2;
constexpr int32_t kTitleLengthWidth = 3;
constexpr int32_t kTrailerWidth = 9;
constexpr char16_t kRootParentKey[] = u"Root";

// Releases the parser's stream when a parse ends, also by an error.
class StreamRelease {
 public:
  explicit StreamRelease(std::unique_ptr<AnsiByteStream>& stream) : stream_(stream) {}
  ~StreamRelease() { stream_.reset(); }
  StreamRelease(const StreamRelease&) = delete;
  StreamRelease& operator=(const StreamRelease&) = delete;

 private:
  std::unique_ptr<AnsiByteStream>& stream_;
};

}  // namespace

TreeItemsParser::TreeItemsParser() : levels_(0) {}

TreeItemsParser::~TreeItemsParser() = default;

void TreeItemsParser::Parse(UnicodeString text, TreeItemsCollection& collection) {
  if (text.empty()) return;
  OpenStream(text);
  StreamRelease release(stream_);
  // Counting first lets the collection grow once instead of doubling (and
  // briefly holding two arrays) while the items arrive.
  collection.Reserve(static_cast<int32_t>(std::min<int64_t>(int64_t{collection.Count()} + CountEntries(), INT32_MAX)));
  // A remainder of one or two bytes after the last entry carries nothing.
  while (stream_->Position() < stream_->Size() - 2) collection.Add(ReadEntry());
}

void TreeItemsParser::Walk(UnicodeString text, const std::function<void(TreeItem&&)>& onItem) {
  const std::string ansiText = ToAnsi(text);
  UnicodeString().swap(text);  // not held twice while the items are read
  WalkAnsi(ansiText, onItem);
}

void TreeItemsParser::WalkAnsi(std::string_view ansiText, const std::function<void(TreeItem&&)>& onItem) {
  if (ansiText.empty()) return;
  stream_ = std::make_unique<AnsiByteStream>(ansiText);
  StreamRelease release(stream_);
  while (stream_->Position() < stream_->Size() - 2) onItem(ReadEntry());
}

void TreeItemsParser::WalkKeys(UnicodeStringView text, const std::function<void(UnicodeString&&)>& onKey) {
  if (text.empty()) return;
  stream_ = std::make_unique<AnsiByteStream>(text);
  StreamRelease release(stream_);
  while (stream_->Position() < stream_->Size() - 2) {
    PassField(kKeyLengthWidth);
    UnicodeString key = ReadField(kKeyLengthWidth);
    PassField(kTitleLengthWidth);
    stream_->Skip(kTrailerWidth);
    onKey(std::move(key));
  }
}

void TreeItemsParser::OpenStream(UnicodeString& text) {
  stream_ = std::make_unique<AnsiByteStream>(text);
  UnicodeString().swap(text);
}

int32_t TreeItemsParser::CountEntries() {
  int32_t count = 0;
  // The same reads as ReadEntry; an entry whose length field fails yields
  // no item, and the parse stops there too.
  while (stream_->Position() < stream_->Size() - 2) {
    if (!SkipField(kKeyLengthWidth) || !SkipField(kKeyLengthWidth) || !SkipField(kTitleLengthWidth)) break;
    stream_->Skip(kTrailerWidth);
    ++count;
  }
  stream_->Rewind();
  return count;
}

bool TreeItemsParser::SkipField(int32_t width) {
  int32_t length = 0;
  if (!ReadDigits(width, length) && !TryStrToInt(stream_->Read(width), length)) return false;
  if (length < 0) return false;
  stream_->Skip(length);
  return true;
}

bool TreeItemsParser::ReadDigits(int32_t width, int32_t& length) {
  // Plain digits, as nearly every length field holds, are read as bytes:
  // ASCII digits are the same bytes in every ANSI code page, and converting
  // each field to text was a tenth of the parse.
  const std::string_view bytes = stream_->Peek(width);
  const bool digits = !bytes.empty() && bytes.size() <= 9 &&
                      std::all_of(bytes.begin(), bytes.end(), [](char c) { return c >= '0' && c <= '9'; });
  if (!digits) return false;
  length = 0;
  for (const char c : bytes) length = length * 10 + (c - '0');
  stream_->Skip(width);
  return true;
}

int32_t TreeItemsParser::ChildLevel(const UnicodeString& parent) {
  if (parent == kRootParentKey) return 0;
  // The previous entry's key holds the level stored last, and its parent's
  // level is unchanged since (an entry that is its own parent matches first).
  if (previous_.read && parent == previous_.key) return previous_.level + 1;
  if (previous_.read && parent == previous_.parent) return previous_.level;
  return levels_.Get(parent) + 1;
}

TreeItem TreeItemsParser::ReadEntry() {
  UnicodeString parent = ReadField(kKeyLengthWidth);
  TreeItem item;
  item.key = ReadField(kKeyLengthWidth);
  item.title = ReadField(kTitleLengthWidth);
  stream_->Skip(kTrailerWidth);
  // The parent's level is read before this entry's own key is stored, so an
  // entry that names itself as parent sees an earlier entry's level.
  item.level = ChildLevel(parent);
  levels_.Set(item.key, item.level);
  previous_.read = true;
  previous_.parent = std::move(parent);
  previous_.key = item.key;
  previous_.level = item.level;
  return item;
}

UnicodeString TreeItemsParser::ReadField(int32_t width) { return stream_->Read(ReadLength(width)); }

void TreeItemsParser::PassField(int32_t width) {
  const int32_t length = ReadLength(width);
  if (length < 0) stream_->Read(length);  // raises the stream's error for a negative count
  stream_->Skip(length);
}

int32_t TreeItemsParser::ReadLength(int32_t width) {
  int32_t length = 0;
  if (!ReadDigits(width, length)) length = StrToInt(stream_->Read(width));
  return length;
}
