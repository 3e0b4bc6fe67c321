#include "jet/jet_header.h"

#include <cmath>
#include <cstring>
#include <string>

#include "jet/rc4.h"
#include "platform/code_page.h"

namespace {

constexpr size_t kVersion = 0x14;
constexpr size_t kMaskedStart = 0x18;
constexpr size_t kCodePage = 0x3C;
constexpr size_t kPageKey = 0x3E;
constexpr size_t kPassword = 0x42;
constexpr size_t kCreationDate = 0x72;
constexpr size_t kJet3PasswordBytes = 20;
constexpr size_t kJet4PasswordBytes = 40;
const char kHeaderKey[] = "\xC7\xDA\x39\x6B";

struct Version {
  int number;
  const JetFormat* format;
};
const Version kVersions[] = {{0, &kJet3Format}, {1, &kJet4Format}, {2, &kJet4Format}, {3, &kJet4Format},
                             {4, &kJet4Format}, {5, &kJet4Format}, {6, &kJet4Format}};

UnicodeString Password(const std::string& h, const JetFormat& format, int codePage) {
  if (format.jet3) {
    std::string bytes = h.substr(kPassword, kJet3PasswordBytes);
    bytes.resize(std::strlen(bytes.c_str()));
    return MultiByteToWide(codePage, bytes);
  }
  const double created = JetReadLE<double>(h, kCreationDate);
  const uint32_t days = std::isfinite(created) && std::fabs(created) < 2e9
                            ? static_cast<uint32_t>(static_cast<int32_t>(std::floor(created)))
                            : 0;
  UnicodeString password;
  for (size_t i = 0; i < kJet4PasswordBytes; i += 2) {
    const uint8_t lo = static_cast<uint8_t>(h[kPassword + i]) ^ static_cast<uint8_t>(days >> (8 * (i % 4)));
    const uint8_t hi = static_cast<uint8_t>(h[kPassword + i + 1]) ^ static_cast<uint8_t>(days >> (8 * ((i + 1) % 4)));
    const char16_t c = static_cast<char16_t>(lo | hi << 8);
    if (c == 0) break;
    password.push_back(c);
  }
  return password;
}

}  // namespace

std::optional<JetHeader> JetHeader::Parse(std::string_view page) {
  if (page.size() < 0x100 || page[0] != 0) return std::nullopt;
  JetHeader header;
  header.version = static_cast<uint8_t>(page[kVersion]);
  for (const Version& v : kVersions)
    if (v.number == header.version) header.format = v.format;
  if (!header.format) return std::nullopt;
  const size_t masked = static_cast<size_t>(header.format->headerMaskedLength);
  std::string h(page.substr(0, kMaskedStart + masked));
  Rc4Crypt(std::string_view(kHeaderKey, 4), reinterpret_cast<uint8_t*>(&h[kMaskedStart]), masked);
  header.codePage = JetReadLE<uint16_t>(h, kCodePage);
  header.pageKey = JetReadLE<uint32_t>(h, kPageKey);
  header.sortOrder = JetReadLE<uint16_t>(h, static_cast<size_t>(header.format->headerSortOrder));
  header.password = Password(h, *header.format, header.TextCodePage());
  return header;
}

bool JetNamesEngine(std::string_view start) {
  if (start.size() < 20) return false;
  const std::string_view name = start.substr(4, 16);
  return name == std::string_view("Standard Jet DB", 16) || name == std::string_view("Standard ACE DB", 16);
}
