#include "dataset/ansi_buffer.h"

#include "platform/code_page.h"

std::string_view AnsiBuffer::Convert(int32_t codePage, UnicodeStringView text) {
  WideToMultiByte(codePage, text, bytes_);
  return bytes_;
}

void AnsiBuffer::Release() {
  if (bytes_.capacity() > kKeptCapacity) std::string().swap(bytes_);
}
