#include "jet/rc4.h"

#include <utility>

void Rc4Crypt(std::string_view key, uint8_t* data, size_t length) {
  uint8_t s[256];
  for (int i = 0; i < 256; ++i) s[i] = static_cast<uint8_t>(i);
  for (int i = 0, j = 0; i < 256; ++i) {
    j = (j + s[i] + static_cast<uint8_t>(key[static_cast<size_t>(i) % key.size()])) & 0xFF;
    std::swap(s[i], s[j]);
  }
  for (size_t k = 0, i = 0, j = 0; k < length; ++k) {
    i = (i + 1) & 0xFF;
    j = (j + s[i]) & 0xFF;
    std::swap(s[i], s[j]);
    data[k] ^= s[(s[i] + s[j]) & 0xFF];
  }
}
