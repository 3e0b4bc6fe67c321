#include "outline/tree_items_parser.h"

#include <algorithm>
#include <cstdint>
#include <utility>

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
  stream_ = std::make_unique<AnsiByteStream>(text);
  StreamRelease release(stream_);
  UnicodeString().swap(text);
  // Counting first lets the collection grow once instead of doubling (and
  // briefly holding two arrays) while the items arrive.
  collection.Reserve(static_cast<int32_t>(std::min<int64_t>(int64_t{collection.Count()} + CountEntries(), INT32_MAX)));
  // A remainder of one or two bytes after the last entry carries nothing.
  while (stream_->Position() < stream_->Size() - 2) collection.Add(ReadEntry());
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
  if (!TryStrToInt(stream_->Read(width), length) || length < 0) return false;
  stream_->Skip(length);
  return true;
}

TreeItem TreeItemsParser::ReadEntry() {
  UnicodeString parent = ReadField(kKeyLengthWidth);
  TreeItem item;
  item.key = ReadField(kKeyLengthWidth);
  item.title = ReadField(kTitleLengthWidth);
  stream_->Read(kTrailerWidth);
  // The parent's level is read before this entry's own key is stored, so an
  // entry that names itself as parent sees an earlier entry's level.
  item.level = parent == kRootParentKey ? 0 : levels_.Get(parent) + 1;
  levels_.Set(item.key, item.level);
  return item;
}

UnicodeString TreeItemsParser::ReadField(int32_t width) {
  const int32_t length = StrToInt(stream_->Read(width));
  return stream_->Read(length);
}
