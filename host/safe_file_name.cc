#include "host/safe_file_name.h"

#include <algorithm>
#include <cstring>

#include "host/markup_text.h"
#include "runtime/utf8.h"

namespace {

constexpr size_t kMaxNameBytes = 60;
constexpr char kReplaced[] = "/\\:*?\"<>|#^[]";
// Windows opens these devices for any name whose part before the first dot is one of them.
const char* const kDeviceNames[] = {"CON",  "PRN",  "AUX",  "NUL",  "COM1", "COM2", "COM3", "COM4",
                                    "COM5", "COM6", "COM7", "COM8", "COM9", "LPT1", "LPT2", "LPT3",
                                    "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9"};

bool IsDeviceName(std::string_view word) {
  while (!word.empty() && word.back() == ' ') word.remove_suffix(1);
  for (const char* device : kDeviceNames) {
    if (word.size() != std::strlen(device)) continue;
    bool same = true;
    for (size_t i = 0; i < word.size() && same; ++i) same = (word[i] & ~0x20) == device[i] || word[i] == device[i];
    if (same) return true;
  }
  return false;
}

// The title without the characters refused in names and links, trimmed and cut.
std::string CleanTitle(std::string_view title) {
  std::string name;
  for (const char c : ValidUtf8(title)) {
    const auto u = static_cast<unsigned char>(c);
    name += (u < 0x20 || u == 0x7F || std::strchr(kReplaced, c)) ? '_' : c;
  }
  name.resize(Utf8PrefixLength(name, kMaxNameBytes));
  const size_t first = name.find_first_not_of(" .");
  if (first == std::string::npos) return "untitled";
  const size_t last = name.find_last_not_of(" .");
  return name.substr(first, last - first + 1);
}

}  // namespace

std::string SafeFileName(std::string_view title) {
  std::string name = CleanTitle(title);
  const size_t dot = name.find('.');
  if (IsDeviceName(std::string_view(name).substr(0, dot))) name.insert(dot == std::string::npos ? name.size() : dot, "_");
  return name;
}

std::string NumberedFileName(size_t position, size_t siblings, std::string_view title) {
  const size_t width = std::max<size_t>(3, std::to_string(siblings).size());
  std::string number = std::to_string(position);
  if (number.size() < width) number.insert(0, width - number.size(), '0');
  return number + "-" + CleanTitle(title);  // the number keeps it from being a device name
}
