// Little-endian stores into byte buffers, the one byte order of Jet files.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace accessdb {

// A buffer the writer builds, filled through the Put functions below.
// Read-only bytes are handed on as a std::string_view, as in the reader
// (jet/); View makes one of a buffer, so that the cast is written once.
using Bytes = std::vector<std::uint8_t>;

inline std::string_view View(const std::uint8_t* data, std::size_t size) {
  return std::string_view(reinterpret_cast<const char*>(data), size);
}
inline std::string_view View(const Bytes& bytes) { return View(bytes.data(), bytes.size()); }

inline void Put16(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void Put24(std::uint8_t* p, std::uint32_t v) {
  Put16(p, v);
  p[2] = static_cast<std::uint8_t>(v >> 16);
}
inline void Put32(std::uint8_t* p, std::uint32_t v) {
  Put16(p, v);
  Put16(p + 2, v >> 16);
}
inline void Put64(std::uint8_t* p, std::uint64_t v) {
  Put32(p, static_cast<std::uint32_t>(v));
  Put32(p + 4, static_cast<std::uint32_t>(v >> 32));
}
inline void PutDouble(std::uint8_t* p, double d) {
  std::uint64_t bits;
  std::memcpy(&bits, &d, 8);
  Put64(p, bits);
}
inline void PutFloat(std::uint8_t* p, float f) {
  std::uint32_t bits;
  std::memcpy(&bits, &f, 4);
  Put32(p, bits);
}

// Appending forms for building variable-length structures.
inline void Append8(Bytes& b, std::uint32_t v) { b.push_back(static_cast<std::uint8_t>(v)); }
inline void Append16(Bytes& b, std::uint32_t v) {
  b.resize(b.size() + 2);
  Put16(&b[b.size() - 2], v);
}
inline void Append32(Bytes& b, std::uint32_t v) {
  b.resize(b.size() + 4);
  Put32(&b[b.size() - 4], v);
}
inline void AppendBytes(Bytes& b, std::string_view s) { b.insert(b.end(), s.begin(), s.end()); }
inline void AppendBytes(Bytes& b, const Bytes& s) { b.insert(b.end(), s.begin(), s.end()); }

}  // namespace accessdb
