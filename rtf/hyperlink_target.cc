#include "rtf/hyperlink_target.h"

#include <vector>

namespace rtf {
namespace {

// Splits a field instruction into words; a quoted word may hold blanks.
std::vector<std::string> Words(std::string_view text) {
  std::vector<std::string> words;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i >= text.size()) break;
    std::string word;
    if (text[i] == '"') {
      ++i;
      while (i < text.size() && text[i] != '"') word += text[i++];
      ++i;
    } else {
      while (i < text.size() && text[i] != ' ' && text[i] != '\t') word += text[i++];
    }
    words.push_back(word);
  }
  return words;
}

bool IsHyperlinkWord(const std::string& w) {
  static const char kName[] = "HYPERLINK";
  if (w.size() != sizeof kName - 1) return false;
  for (size_t i = 0; i < w.size(); ++i)
    if ((w[i] & ~0x20) != kName[i]) return false;
  return true;
}

}  // namespace

std::string HyperlinkTarget(std::string_view instruction) {
  const std::vector<std::string> words = Words(instruction);
  if (words.empty() || !IsHyperlinkWord(words[0])) return {};
  std::string target, anchor;
  for (size_t i = 1; i < words.size(); ++i) {
    const std::string& w = words[i];
    if (w == "\\l" && i + 1 < words.size()) {
      anchor = words[++i];
    } else if ((w == "\\o" || w == "\\t") && i + 1 < words.size()) {
      ++i;  // tooltip, target frame
    } else if (!w.empty() && w[0] == '\\') {
      continue;  // \m, \n: switches without argument
    } else if (target.empty()) {
      target = w;
    }
  }
  if (!anchor.empty()) target += "#" + anchor;
  return target;
}

}  // namespace rtf
