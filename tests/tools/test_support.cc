#include "tests/tools/test_support.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace accessdb_test {

TempFile::TempFile(const std::string& name) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("accessdb-test-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  path_ = (dir / name).string();
  std::filesystem::remove(path_);
}

TempFile::~TempFile() {
  std::error_code ec;
  std::filesystem::remove(path_, ec);
  std::filesystem::remove(std::filesystem::path(path_).parent_path(), ec);  // only once empty
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Hex(const std::string& bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : bytes) {
    out += kDigits[c >> 4];
    out += kDigits[c & 15];
  }
  return out;
}

std::string CurrencyText(std::int64_t scaled) {
  const bool negative = scaled < 0;
  const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(scaled) : static_cast<std::uint64_t>(scaled);
  char buf[48];
  std::snprintf(buf, sizeof buf, "%s%llu.%04llu", negative ? "-" : "",
                static_cast<unsigned long long>(magnitude / 10000),
                static_cast<unsigned long long>(magnitude % 10000));
  return buf;
}

std::string Bytes(int n, std::uint32_t seed) {
  std::string out;
  std::uint32_t x = seed * 2654435761u + 1;
  for (int i = 0; i < n; ++i) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    out.push_back(static_cast<char>(x >> 7));
  }
  return out;
}

std::string Utf8Text(std::size_t chars, std::uint32_t seed, bool ascii_only) {
  // Words of one- to three-byte UTF-8 characters, all in code page 1252 unless not ascii_only.
  static const char* const kAscii[] = {"alpha ", "beta ", "gamma\n", "delta, ", "\"quoted\" "};
  static const char* const kWide[] = {"é", "€", "ü", "Ж", "中", "ĀB", "x"};
  std::string out;
  std::uint32_t x = seed * 2654435761u + 7;
  std::size_t n = 0;
  while (n < chars) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    if (ascii_only || x % 3 != 0) {
      const std::string w = kAscii[x % 5];
      for (char c : w) {
        if (n == chars) break;
        out += c;
        ++n;
      }
    } else {
      const std::string w = kWide[(x >> 3) % 7];
      out += w;
      n += w == "ĀB" ? 2 : 1;
    }
  }
  return out;
}

}  // namespace accessdb_test
