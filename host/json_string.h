// A text as a JSON string, exactly as nlohmann::json writes it compactly
// with UTF-8 kept and invalid UTF-8 replaced by U+FFFD: the form of the
// strings in `import --json`'s array, which the JSON export repeats.
#pragma once

#include <string>
#include <string_view>

std::string JsonQuoted(std::string_view text);
