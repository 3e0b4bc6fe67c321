// RC4 stream cipher, as the header page of Jet files masks bytes with it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace accessdb {

// XORs `data` in place with the RC4 key stream of `key`. Written here because the
// cipher is a dozen lines and OpenSSL deprecates it; only the fixed header mask uses it.
// The reader has its own (jet/rc4.h): the writer shares no code with what it tests.
void Rc4Crypt(std::string_view key, std::uint8_t* data,
              std::size_t len);

}  // namespace accessdb
