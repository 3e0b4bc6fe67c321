// Choosing the ANSI code page a plug-in runs under, and writing the database
// path in it.
//
// The module derives its code page from the locale variables when it first
// needs it (LC_ALL, else LC_CTYPE, else LANG), so the host selects code page
// N by setting LC_ALL, before loading the module, to a locale whose language
// stands for N.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The code pages the host can select, ascending.
std::vector<int32_t> SelectableCodePages();

// A locale name that stands for `codePage`; HostError for a code page that
// no locale stands for (65001 included).
std::string LocaleForCodePage(int32_t codePage);

// Sets LC_ALL so that a module loaded afterwards runs under `codePage`, and
// makes it the host's own active code page too.
void SelectCodePage(int32_t codePage);

// `utf8Path` (as given on the command line) as 8-bit text in `codePage`.
// HostError when the path is no valid UTF-8 or holds a character that the
// code page cannot represent: a mangled path would name another file.
std::string PathInCodePage(const std::string& utf8Path, int32_t codePage);
