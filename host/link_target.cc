#include "host/link_target.h"

#include <algorithm>

#include "host/markup_text.h"

namespace {

// Schemes that open a page, a mail or a file and run nothing.
const char* const kAllowedSchemes[] = {"http", "https", "mailto", "ftp", "file", "news", "tel"};

}  // namespace

std::string SafeHref(const std::string& target) {
  const std::string t = ValidUtf8(target);
  const size_t colon = t.find(':');
  const size_t delimiter = t.find_first_of("/?#");
  if (colon == std::string::npos || (delimiter != std::string::npos && delimiter < colon)) return t;  // relative
  std::string scheme = t.substr(0, colon);
  std::transform(scheme.begin(), scheme.end(), scheme.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; });
  for (const char* allowed : kAllowedSchemes)
    if (scheme == allowed) return t;
  return {};
}
