#include "plugin/document_record.h"

#include <cstring>

#include "runtime/utf8.h"

void DocumentRecord::WriteLevel(int32_t level) {
  // The record is little-endian, like every platform the module builds for.
  std::memcpy(record_ + kDocumentLevelOffset, &level, sizeof level);
}

void DocumentRecord::WriteTitle(const std::string& utf8Title) {
  // Room for the terminating zero; a character the cut would split is left out whole.
  const size_t length = Utf8PrefixLength(utf8Title, kDocumentTitleRoom - 1);
  unsigned char* title = record_ + kDocumentTitleOffset;
  std::memcpy(title, utf8Title.data(), length);
  title[length] = 0;
}

void DocumentRecord::DeliverContent(const std::string& utf8Content, ContentAllocator allocator) {
  if (!allocator) return;
  allocator(record_, 1, static_cast<int32_t>(utf8Content.size()));
  // The host stored the buffer's address during the call; its return value
  // carries nothing.
  unsigned char* buffer = nullptr;
  std::memcpy(&buffer, record_ + kDocumentContentPointerOffset, sizeof buffer);
  if (!buffer) return;
  const size_t length = std::strlen(utf8Content.c_str());
  std::memcpy(buffer, utf8Content.data(), length);
  buffer[length] = 0;
}
