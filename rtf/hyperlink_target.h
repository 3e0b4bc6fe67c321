// The link target of a field instruction: HYPERLINK "url" [\l "anchor"].
#pragma once

#include <string>
#include <string_view>

namespace rtf {

// "http://x" for ` HYPERLINK "http://x" `, "#top" for `HYPERLINK \l "top"`,
// "doc.htm#top" for both; empty for other fields.
std::string HyperlinkTarget(std::string_view instruction);

}  // namespace rtf
