#include "host/safe_file_name.h"

#include <cstring>

#include "host/markup_text.h"
#include "runtime/utf8.h"

namespace {

constexpr size_t kMaxNameBytes = 60;

}  // namespace

std::string SafeFileName(std::string_view title) {
  std::string name;
  for (const char c : ValidUtf8(title)) {
    const auto u = static_cast<unsigned char>(c);
    name += (u < 0x20 || u == 0x7F || std::strchr("/\\:*?\"<>|", c)) ? '_' : c;
  }
  name.resize(Utf8PrefixLength(name, kMaxNameBytes));
  const size_t first = name.find_first_not_of(" .");
  if (first == std::string::npos) return "untitled";
  const size_t last = name.find_last_not_of(" .");
  return name.substr(first, last - first + 1);
}

std::string NumberedFileName(size_t position, std::string_view title) {
  std::string number = std::to_string(position);
  if (number.size() < 3) number.insert(0, 3 - number.size(), '0');
  return number + "-" + SafeFileName(title);
}
