// The information record as a host expects to find it, built independently
// of the module's own table.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "plugin/arvoline_plugin.h"

namespace plugin_info_expectation {

// `before` with every field the module writes filled in; the copyright
// notice is taken from `actual` since its wording is the module's choice.
inline std::vector<unsigned char> Expected(const std::vector<unsigned char>& before,
                                           const std::vector<unsigned char>& actual) {
  std::vector<unsigned char> expected = before;
  auto text = [&expected](size_t offset, const char* s) { std::memcpy(expected.data() + offset, s, std::strlen(s) + 1); };
  text(0x000, "1.50");
  text(0x100, "Arvoline/Gleanery");
  text(0x200, "Imports Arvoline, Arvoline32 XPPro, and Gleanery databases.");
  text(0x5E9, "Quenlith Software Ltd.");
  const char* copyright = reinterpret_cast<const char*>(actual.data() + 0x6E9);
  const size_t copyrightLength = strnlen(copyright, 259);
  std::memcpy(expected.data() + 0x6E9, copyright, copyrightLength + 1);
  const unsigned char integers[12] = {1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0};
  std::memcpy(expected.data() + 0x7EC, integers, sizeof integers);
  text(0x7FC, ".xtp;*.xrd;");
  text(0x82F, "Arvoline/Gleanery databases (*.xtp;*.xrd)");
  return expected;
}

}  // namespace plugin_info_expectation
