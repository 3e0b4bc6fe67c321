#include "tools/accessdb/rc4.h"

#include <utility>

namespace accessdb {

void Rc4Crypt(std::string_view key, std::uint8_t* data,
              std::size_t len) {
  std::uint8_t s[256];
  for (int i = 0; i < 256; ++i) s[i] = static_cast<std::uint8_t>(i);
  for (int i = 0, j = 0; i < 256; ++i) {
    j = (j + s[i] + static_cast<std::uint8_t>(key[i % key.size()])) & 0xFF;
    std::swap(s[i], s[j]);
  }
  for (std::size_t n = 0, i = 0, j = 0; n < len; ++n) {
    i = (i + 1) & 0xFF;
    j = (j + s[i]) & 0xFF;
    std::swap(s[i], s[j]);
    data[n] ^= s[(s[i] + s[j]) & 0xFF];
  }
}

}  // namespace accessdb
