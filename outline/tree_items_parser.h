// TreeItemsParser: turns one outline text into tree items.
//
// The outline text is a run of entries without header or separator. Each
// entry, counted in bytes of the active ANSI code page:
//
//   width  content
//   2      length P of the parent key, decimal text (StrToInt rules)
//   P      parent key
//   2      length K of the node key
//   K      node key
//   3      length T of the title
//   T      title
//   9      skipped
//
// A parent key of exactly "Root" makes a child of the root (level 0); any
// other parent gives the level stored for that key plus one (0 + 1 for a
// key not seen yet). Entries are read while more than two bytes remain.
//
// One parser serves one parse. It owns its level map for its lifetime and
// its byte stream only for the duration of Parse. Parse takes the text by
// value and lets go of it once the byte stream holds its code-page form, so
// a large outline is not held twice while its items are built.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "outline/ansi_byte_stream.h"
#include "outline/int_map.h"
#include "outline/tree_item.h"
#include "outline/tree_items_collection.h"
#include "runtime/unicode_string.h"

class TreeItemsParser {
 public:
  TreeItemsParser();
  ~TreeItemsParser();
  TreeItemsParser(const TreeItemsParser&) = delete;
  TreeItemsParser& operator=(const TreeItemsParser&) = delete;

  // Appends one item per entry of `text` to `collection`, in text order.
  // Raises EConvertError for a length field that is no integer and
  // EEncodingError for a negative one; the items of the entries before the
  // failing one stay in `collection`.
  void Parse(UnicodeString text, TreeItemsCollection& collection);
  // The same parse, handing each item to `onItem` in text order instead of
  // collecting them: for a single pass over a large outline that keeps none
  // of its items. Raises as Parse, after the items before the failing entry.
  void Walk(UnicodeString text, const std::function<void(TreeItem&&)>& onItem);
  // Walk over the outline text in its active ANSI code page form (what Walk
  // converts `text` to first), for a caller that holds it in that form; read
  // where it lies, so it must stay unchanged until the walk returns.
  void WalkAnsi(std::string_view ansiText, const std::function<void(TreeItem&&)>& onItem);
  // The entries' keys alone, in text order, read and raising as Walk reads
  // them; parent keys and titles are passed over unconverted and no levels
  // are kept: for a check that needs those only for the odd entry.
  void WalkKeys(UnicodeStringView text, const std::function<void(UnicodeString&&)>& onKey);

 private:
  // Holds the code-page form of `text` in stream_ and lets go of `text`.
  void OpenStream(UnicodeString& text);
  // The number of items a parse of the stream appends, found by walking the
  // length fields alone; leaves the stream at its start.
  int32_t CountEntries();
  // Moves past a length field of `width` bytes and its text; false when the
  // field would make ReadField fail.
  bool SkipField(int32_t width);
  TreeItem ReadEntry();
  // Reads a length field of `width` bytes, then that many bytes of text.
  UnicodeString ReadField(int32_t width);
  // Moves past what ReadField reads, raising as it does.
  void PassField(int32_t width);
  // Reads a length field of `width` bytes; raises EConvertError for one
  // that is no integer.
  int32_t ReadLength(int32_t width);
  // Reads a length field of `width` bytes that holds plain decimal digits;
  // false (nothing read) for any other field, which the caller then reads as
  // text by the runtime's integer rules.
  bool ReadDigits(int32_t width, int32_t& length);
  // The level of a child of `parent`.
  int32_t ChildLevel(const UnicodeString& parent);

  std::unique_ptr<AnsiByteStream> stream_;  // only during Parse
  IntMap levels_;                           // node key -> level
  // The entry read last: most entries are its child or its sibling, whose
  // level follows without a look-up in levels_.
  struct {
    bool read = false;
    UnicodeString parent, key;
    int32_t level = 0;
  } previous_;
};
