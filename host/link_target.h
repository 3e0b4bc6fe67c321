// Which link targets an export makes clickable: relative targets and a short
// allow-list of schemes, the same for every format that writes links.
#pragma once

#include <string>

// The target to link to, or empty when it is not safe to follow from an
// exported page (javascript:, vbscript:, data: and every other scheme not on
// the list; a scheme with a blank or control character before its colon is
// no listed scheme either, so " javascript:" is refused as well).
std::string SafeHref(const std::string& target);
