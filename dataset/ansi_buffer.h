// AnsiBuffer: converts texts to an ANSI code page into storage it keeps from
// one conversion to the next. A text or memo field converts every value
// stored in it, and a new string for each was an allocation and a release
// per cell; the field copies the bytes into its stored value at once.
//
// A large text's storage is not kept (Release after a conversion lets go of
// it above kKeptCapacity), so a field that once held a long value does not
// hold its size for the rest of its life.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/unicode_string.h"

class AnsiBuffer {
 public:
  static constexpr size_t kKeptCapacity = 64 * 1024;

  // `text` in `codePage` (as WideToMultiByte converts it); valid until the
  // next call.
  std::string_view Convert(int32_t codePage, UnicodeStringView text);
  // Lets go of the storage when it is larger than kKeptCapacity.
  void Release();
  // The storage kept, in bytes.
  size_t Capacity() const { return bytes_.capacity(); }

 private:
  std::string bytes_;
};
