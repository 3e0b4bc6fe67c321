// The database password stored in the header page of a Jet file.
//
// The header bytes from 0x18 on (126 bytes in Jet 3, 128 in Jet 4 and ACE)
// are masked with the RC4 key stream of the key C7 DA 39 6B. The password
// sits at 0x42 of the unmasked header: Jet 3 as 20 bytes of 8-bit text, Jet 4
// and ACE as 40 bytes of UTF-16LE, further XORed with the four little-endian
// bytes of the whole days of the creation date (a double at 0x72). Trailing
// zero characters are padding.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/unicode_string.h"

// The password of a database whose file starts with `header` (the first 256
// bytes or more); empty when it has none or the header is too short to hold
// one. `codePage` reads a Jet 3 password.
UnicodeString JetDatabasePassword(std::string_view header, int codePage);

// XORs `data` with the RC4 key stream of `key` (RC4 is its own inverse).
// Written here because it is a dozen lines and only unmasks the header; the
// usual crypto libraries deprecate the cipher.
void Rc4Crypt(std::string_view key, uint8_t* data, size_t length);

// The value of "PWD=" in a connect text such as ";PWD=secret" (up to the next
// ";"), empty when there is none. The key ignores ASCII case.
UnicodeString ConnectPassword(UnicodeStringView connect);
