// The facts of a Jet file's header page (page 0).
//
// Byte 0 is 0; byte 0x14 names the version (0 Jet 3, 1 Jet 4, 2 to 6 the
// Access 2007 to 2019 files, which use the Jet 4 layout). The bytes from
// 0x18 on (126 in Jet 3, 128 later) are masked with the RC4 key stream of
// the key C7 DA 39 6B; unmasked they hold the code page of Jet 3 text
// (0x3C), the page key (0x3E: 0, or the key the other pages are encoded
// with), the database password (0x42: Jet 3 20 bytes of 8-bit text; later
// 40 bytes of UTF-16, further XORed with the four little-endian bytes of
// the creation date's whole days, a double at 0x72; trailing zero
// characters are padding) and the sort order (0x3A in Jet 3, 0x6E later).
//
// A value type, parsed from a copy of the page.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "jet/jet_format.h"
#include "runtime/unicode_string.h"

struct JetHeader {
  int version = 0;
  const JetFormat* format = nullptr;
  int codePage = 0;  // as stored: 0 when unset
  int sortOrder = 0;
  uint32_t pageKey = 0;
  UnicodeString password;  // empty when the database has none

  // The header in `page` (the file's first page, or as much of it as the
  // file has, padded with zeros to at least 0x100 bytes); nullopt when it is
  // not one of a file this reader knows. Raises the platform's conversion
  // error when a Jet 3 file names a code page that cannot be converted.
  static std::optional<JetHeader> Parse(std::string_view page);

  // The code page of Jet 3 text: the stored one, 1252 when unset.
  int TextCodePage() const { return codePage != 0 ? codePage : 1252; }
};

// Bytes 4 to 19 of every file Access writes name its engine ("Standard Jet
// DB" or "Standard ACE DB"). The reader needs only the version byte, so a
// file can be read without them (a file of zeros parses as Jet 3); this
// tells whether `start` (at least the file's first 20 bytes) names one.
bool JetNamesEngine(std::string_view start);
