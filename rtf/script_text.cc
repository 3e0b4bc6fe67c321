#include "rtf/script_text.h"

#include <unordered_map>

#include "rtf/text_decoder.h"
#include "runtime/utf8.h"

namespace rtf {
namespace {

using ScriptTable = std::unordered_map<char32_t, char32_t>;

const ScriptTable& Superscripts() {
  static const ScriptTable table = {
      {U'0', U'\u2070'}, {U'1', U'\u00B9'}, {U'2', U'\u00B2'}, {U'3', U'\u00B3'}, {U'4', U'\u2074'},
      {U'5', U'\u2075'}, {U'6', U'\u2076'}, {U'7', U'\u2077'}, {U'8', U'\u2078'}, {U'9', U'\u2079'},
      {U'+', U'\u207A'}, {U'-', U'\u207B'}, {U'\u2212', U'\u207B'}, {U'=', U'\u207C'}, {U'(', U'\u207D'},
      {U')', U'\u207E'}, {U'a', U'\u1D43'}, {U'b', U'\u1D47'}, {U'c', U'\u1D9C'}, {U'd', U'\u1D48'},
      {U'e', U'\u1D49'}, {U'f', U'\u1DA0'}, {U'g', U'\u1D4D'}, {U'h', U'\u02B0'}, {U'i', U'\u2071'},
      {U'j', U'\u02B2'}, {U'k', U'\u1D4F'}, {U'l', U'\u02E1'}, {U'm', U'\u1D50'}, {U'n', U'\u207F'},
      {U'o', U'\u1D52'}, {U'p', U'\u1D56'}, {U'r', U'\u02B3'}, {U's', U'\u02E2'}, {U't', U'\u1D57'},
      {U'u', U'\u1D58'}, {U'v', U'\u1D5B'}, {U'w', U'\u02B7'}, {U'x', U'\u02E3'}, {U'y', U'\u02B8'},
      {U'z', U'\u1DBB'}, {U'A', U'\u1D2C'}, {U'B', U'\u1D2E'}, {U'D', U'\u1D30'}, {U'E', U'\u1D31'},
      {U'G', U'\u1D33'}, {U'H', U'\u1D34'}, {U'I', U'\u1D35'}, {U'J', U'\u1D36'}, {U'K', U'\u1D37'},
      {U'L', U'\u1D38'}, {U'M', U'\u1D39'}, {U'N', U'\u1D3A'}, {U'O', U'\u1D3C'}, {U'P', U'\u1D3E'},
      {U'R', U'\u1D3F'}, {U'T', U'\u1D40'}, {U'U', U'\u1D41'}, {U'V', U'\u2C7D'}, {U'W', U'\u1D42'},
  };
  return table;
}

const ScriptTable& Subscripts() {
  static const ScriptTable table = {
      {U'0', U'\u2080'}, {U'1', U'\u2081'}, {U'2', U'\u2082'}, {U'3', U'\u2083'}, {U'4', U'\u2084'},
      {U'5', U'\u2085'}, {U'6', U'\u2086'}, {U'7', U'\u2087'}, {U'8', U'\u2088'}, {U'9', U'\u2089'},
      {U'+', U'\u208A'}, {U'-', U'\u208B'}, {U'\u2212', U'\u208B'}, {U'=', U'\u208C'}, {U'(', U'\u208D'},
      {U')', U'\u208E'}, {U'a', U'\u2090'}, {U'e', U'\u2091'}, {U'o', U'\u2092'}, {U'x', U'\u2093'},
      {U'\u0259', U'\u2094'}, {U'h', U'\u2095'}, {U'k', U'\u2096'}, {U'l', U'\u2097'}, {U'm', U'\u2098'},
      {U'n', U'\u2099'}, {U'p', U'\u209A'}, {U's', U'\u209B'}, {U't', U'\u209C'}, {U'i', U'\u1D62'},
      {U'r', U'\u1D63'}, {U'u', U'\u1D64'}, {U'v', U'\u1D65'}, {U'j', U'\u2C7C'},
  };
  return table;
}

}  // namespace

std::string ScriptText(std::string_view utf8, bool superscript) {
  const size_t first = utf8.find_first_not_of(" \t");
  if (first == std::string_view::npos) return std::string(utf8);
  const size_t last = utf8.find_last_not_of(" \t");
  const std::string_view core = utf8.substr(first, last - first + 1);

  const ScriptTable& table = superscript ? Superscripts() : Subscripts();
  const UnicodeString units = FromUtf8(core);
  std::string mapped;
  bool every = true;
  for (const char16_t unit : units) {
    const auto found = table.find(unit);
    if (found == table.end()) {
      every = false;
      break;
    }
    AppendUtf8(found->second, mapped);
  }
  std::string shown;
  if (every) {
    shown = mapped;
  } else {
    const bool one = units.size() == 1 || (units.size() == 2 && units[0] >= 0xD800 && units[0] <= 0xDBFF);
    const char* mark = superscript ? "^" : "_";
    shown = one ? mark + std::string(core) : std::string(mark) + "(" + std::string(core) + ")";
  }
  return std::string(utf8.substr(0, first)) + shown + std::string(utf8.substr(last + 1));
}

}  // namespace rtf
