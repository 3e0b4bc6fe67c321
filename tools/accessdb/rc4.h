// RC4 stream cipher, as the header page of Jet files masks bytes with it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace accessdb {

// XORs `data` in place with the RC4 key stream of `key`. Written here because the
// cipher is a dozen lines and OpenSSL deprecates it; only the fixed header mask uses it.
void Rc4Crypt(const std::uint8_t* key, std::size_t key_len, std::uint8_t* data,
              std::size_t len);

}  // namespace accessdb
