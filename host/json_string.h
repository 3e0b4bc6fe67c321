// A text as a JSON string, exactly as nlohmann::json writes it compactly
// with UTF-8 kept and invalid UTF-8 replaced by U+FFFD: the form of the
// strings in `import --json`'s array, which the JSON export repeats.
#pragma once

#include <string>
#include <string_view>

//
// Each character of `alsoEscaped` (ASCII, not the quote or the backslash)
// is written as \u00xx as well, for
// JSON that sits inside other markup: "<" in an HTML script element, "[" and
// "<" in Markdown, where a renderer that does not know front matter would
// otherwise make links or HTML of a title.
std::string JsonQuoted(std::string_view text, std::string_view alsoEscaped = {});
