// Superscript and subscript text for formats without markup (plain text,
// JSON, OPML): Unicode's superscript and subscript characters where every
// character has one ("m²", "H₂O", "xⁿ⁺¹"), else a readable form ("10^q",
// "x_(max)").
#pragma once

#include <string>
#include <string_view>

namespace rtf {

// `utf8` raised (superscript) or lowered (subscript). Blanks at either end
// stay outside: "2 " becomes "² ".
std::string ScriptText(std::string_view utf8, bool superscript);

}  // namespace rtf
