#include "outline/ansi_byte_stream.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "platform/code_page.h"
#include "runtime/exceptions.h"

AnsiByteStream::AnsiByteStream(UnicodeStringView text) : converted_(ToAnsi(text)), bytes_(converted_) {}

AnsiByteStream::AnsiByteStream(std::string_view ansiText) : bytes_(ansiText) {}

UnicodeString AnsiByteStream::Read(int32_t count) {
  if (count < 0) throw EEncodingError(FormatText(u"Invalid count (%d)", {int64_t(count)}));
  const int64_t n = std::min<int64_t>(count, Size() - position_);
  UnicodeString text = FromAnsi(bytes_.substr(static_cast<size_t>(position_), static_cast<size_t>(n)));
  position_ += n;
  return text;
}

std::string_view AnsiByteStream::Peek(int32_t count) const {
  return bytes_.substr(static_cast<size_t>(position_), static_cast<size_t>(count));
}

void AnsiByteStream::Skip(int32_t count) { position_ += std::min<int64_t>(count, Size() - position_); }
