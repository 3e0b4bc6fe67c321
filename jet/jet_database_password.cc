#include "jet/jet_database_password.h"

#include <cmath>
#include <cstring>
#include <string>

#include "platform/code_page.h"

namespace {

constexpr size_t kMaskedStart = 0x18;
constexpr size_t kPassword = 0x42;
constexpr size_t kCreationDate = 0x72;
const char kHeaderKey[] = "\xC7\xDA\x39\x6B";

}  // namespace

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

UnicodeString JetDatabasePassword(std::string_view header, int codePage) {
  if (header.size() < 0x100) return UnicodeString();
  const bool jet3 = static_cast<uint8_t>(header[0x14]) == 0;
  const size_t maskedLength = jet3 ? 126 : 128;
  std::string h(header.substr(0, kMaskedStart + maskedLength));
  Rc4Crypt(std::string_view(kHeaderKey, 4), reinterpret_cast<uint8_t*>(&h[kMaskedStart]), maskedLength);
  if (jet3) {
    std::string bytes = h.substr(kPassword, 20);
    bytes.resize(std::strlen(bytes.c_str()));
    return MultiByteToWide(codePage, bytes);
  }
  double created;
  std::memcpy(&created, &h[kCreationDate], sizeof created);
  uint32_t days = std::isfinite(created) && std::fabs(created) < 2e9
                      ? static_cast<uint32_t>(static_cast<int32_t>(std::floor(created)))
                      : 0;
  UnicodeString password;
  for (size_t i = 0; i < 40; i += 2) {
    uint8_t lo = static_cast<uint8_t>(h[kPassword + i]) ^ static_cast<uint8_t>(days >> (8 * (i % 4)));
    uint8_t hi = static_cast<uint8_t>(h[kPassword + i + 1]) ^ static_cast<uint8_t>(days >> (8 * ((i + 1) % 4)));
    char16_t c = static_cast<char16_t>(lo | hi << 8);
    if (c == 0) break;
    password.push_back(c);
  }
  return password;
}

UnicodeString ConnectPassword(UnicodeStringView connect) {
  size_t start = 0;
  while (start <= connect.size()) {
    size_t end = connect.find(u';', start);
    if (end == UnicodeStringView::npos) end = connect.size();
    UnicodeStringView part = connect.substr(start, end - start);
    if (part.size() >= 4 && SameTextAscii(part.substr(0, 4), u"PWD=")) return UnicodeString(part.substr(4));
    start = end + 1;
  }
  return UnicodeString();
}
