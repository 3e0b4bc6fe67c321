// The RC4 stream cipher, with which Jet masks the header page and encodes
// the pages of a file with a page key.
//
// Written here because it is a dozen lines and only unmasks: the usual
// crypto libraries deprecate the cipher.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// XORs `data` with the RC4 key stream of `key` (RC4 is its own inverse).
void Rc4Crypt(std::string_view key, uint8_t* data, size_t length);
