// AnsiByteStream: a forward-only reader over the bytes of a text in the
// active ANSI code page. Every read hands back text converted from the same
// code page, so positions and lengths count bytes of the code-page form.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/unicode_string.h"

class AnsiByteStream {
 public:
  // Converts `text` to the active ANSI code page; characters the code page
  // lacks become its default character, without an error.
  explicit AnsiByteStream(UnicodeStringView text);
  // Reads text already in the active ANSI code page, as the constructor
  // above would convert it, where it lies: it must outlive the stream.
  explicit AnsiByteStream(std::string_view ansiText);
  AnsiByteStream(const AnsiByteStream&) = delete;
  AnsiByteStream& operator=(const AnsiByteStream&) = delete;

  int64_t Position() const { return position_; }
  int64_t Size() const { return static_cast<int64_t>(bytes_.size()); }

  // Reads up to `count` bytes (fewer near the end, possibly none) and
  // returns them as text. A negative count raises EEncodingError
  // "Invalid count (<count>)" and reads nothing.
  UnicodeString Read(int32_t count);
  // The next up to `count` bytes (fewer near the end) as they are, without
  // moving; valid until the stream changes. `count` must not be negative.
  std::string_view Peek(int32_t count) const;
  // Moves past up to `count` bytes like Read, without converting them;
  // `count` must not be negative.
  void Skip(int32_t count);
  // Moves the read position back to the first byte.
  void Rewind() { position_ = 0; }

 private:
  std::string converted_;  // the text converted by the first constructor
  std::string_view bytes_;
  int64_t position_ = 0;
};
