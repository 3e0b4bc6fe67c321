// Helpers shared by the writer's tests: temporary files and expected texts.
#pragma once

#include <cstdint>
#include <string>

namespace accessdb_test {

// A fresh path in a per-process temporary directory; the file is removed with the object.
class TempFile {
 public:
  explicit TempFile(const std::string& name);
  ~TempFile();
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

std::string ReadFile(const std::string& path);     // the whole file's bytes
std::string Hex(const std::string& bytes);          // upper-case, as mdb-export -b hex
std::string CurrencyText(std::int64_t scaled);      // "-1.2345", four decimals
std::string Bytes(int n, std::uint32_t seed);       // n pseudo-random bytes
std::string Utf8Text(std::size_t chars, std::uint32_t seed, bool ascii_only);  // mixed-width text

}  // namespace accessdb_test
