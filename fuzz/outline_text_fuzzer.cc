// libFuzzer target: the outline text parser. The first byte picks the ANSI
// code page the lengths are counted in, the rest is the outline text in that
// code page. Malformed lengths must end in the parser's own errors.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "outline/tree_items_collection.h"
#include "outline/tree_items_parser.h"
#include "platform/code_page.h"
#include "runtime/exceptions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const int32_t kCodePages[] = {1252, 1251, 1250, 1253, 932, 936};
  if (size == 0) return 0;
  ScopedActiveCodePage codePage(kCodePages[data[0] % (sizeof kCodePages / sizeof kCodePages[0])]);
  const UnicodeString text = MultiByteToWide(GetACP(), std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
  TreeItemsCollection items;
  try {
    TreeItemsParser().Parse(text, items);
  } catch (const Exception&) {
    // EConvertError and EEncodingError for malformed lengths: a clean error.
  }
  return 0;
}
