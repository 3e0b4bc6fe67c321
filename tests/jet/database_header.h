// Edits of an Access file's header page, as Jet itself stores them, for tests
// of protected and encrypted files: the masked part of the header is
// unmasked, changed and masked again.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>

#include "jet/rc4.h"

// Calls `edit` with the first 0x100 bytes of the header of the file at
// `path`, the masked bytes from 0x18 on unmasked, and writes them back.
inline void EditDatabaseHeader(const std::string& path, bool jet3, const std::function<void(std::string&)>& edit) {
  std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
  std::string header(0x100, '\0');
  f.read(header.data(), static_cast<std::streamsize>(header.size()));
  const size_t masked = jet3 ? 126 : 128;
  auto* region = reinterpret_cast<uint8_t*>(&header[0x18]);
  Rc4Crypt(std::string_view("\xC7\xDA\x39\x6B", 4), region, masked);
  edit(header);
  Rc4Crypt(std::string_view("\xC7\xDA\x39\x6B", 4), region, masked);
  f.seekp(0);
  f.write(header.data(), static_cast<std::streamsize>(header.size()));
}

// Stores `password` in the header of the file at `path`, as Jet does.
inline void SetDatabasePassword(const std::string& path, bool jet3, const std::u16string& password) {
  EditDatabaseHeader(path, jet3, [&](std::string& header) {
    if (jet3) {
      for (size_t i = 0; i < 20; ++i) header[0x42 + i] = i < password.size() ? static_cast<char>(password[i]) : '\0';
      return;
    }
    double created;
    std::memcpy(&created, &header[0x72], sizeof created);
    const uint32_t days = static_cast<uint32_t>(static_cast<int32_t>(std::floor(created)));
    for (size_t i = 0; i < 40; ++i) {
      const char16_t c = i / 2 < password.size() ? password[i / 2] : u'\0';
      const uint8_t byte = static_cast<uint8_t>(i % 2 ? c >> 8 : c & 0xFF);
      header[0x42 + i] = static_cast<char>(byte ^ static_cast<uint8_t>(days >> (8 * (i % 4))));
    }
  });
}

// Makes a Jet 4 file one of Access `version` (2 to 6: 2007 to 2019) whose
// header names the page key `key`, as the newer encryption leaves it.
inline void SetVersionAndPageKey(const std::string& path, char version, uint32_t key) {
  EditDatabaseHeader(path, false, [&](std::string& header) {
    header[0x14] = version;
    for (int i = 0; i < 4; ++i) header[0x3E + i] = static_cast<char>(key >> (8 * i));
  });
}
