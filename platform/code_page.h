// The active ANSI code page and the conversions between UTF-16 and 8-bit text.
//
// On Windows the active code page is what GetACP reports. Linux has no such
// setting, so it is derived from the process locale the way Windows derives it
// from the user's language: LC_ALL, else LC_CTYPE, else LANG, by language (and
// for Chinese by region); anything else, C and POSIX included, gives 1252.
// Tests choose the code page with ScopedActiveCodePage, never through the
// environment.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/unicode_string.h"

constexpr int32_t kCodePageUtf8 = 65001;

// The active ANSI code page of the process (cached on first use).
int32_t GetACP();
// The OEM (DOS) code page that pairs with the active ANSI code page
// (437 with 1252, 866 with 1251, 852 with 1250, ...).
int32_t GetOEMCP();
// The ANSI code page a locale name such as "ru_RU.UTF-8" stands for.
int32_t AnsiCodePageForLocale(std::string_view localeName);
// The OEM code page that pairs with an ANSI code page.
int32_t OemCodePageForAnsi(int32_t ansiCodePage);

// Overrides the active code page for its lifetime (tests, the host's
// --codepage option before a session).
class ScopedActiveCodePage {
 public:
  explicit ScopedActiveCodePage(int32_t codePage);
  ~ScopedActiveCodePage();
  ScopedActiveCodePage(const ScopedActiveCodePage&) = delete;
  ScopedActiveCodePage& operator=(const ScopedActiveCodePage&) = delete;

 private:
  int32_t saved_;
};
// Sets the active code page for the rest of the process.
void SetActiveCodePage(int32_t codePage);

// UTF-16 to 8-bit text in `codePage`. A character the code page lacks becomes
// its default character "?" without an error. Double-byte code pages give
// two bytes for their double-byte characters.
std::string WideToMultiByte(int32_t codePage, UnicodeStringView text);
// The same conversion into `out`, whose content it replaces and whose
// capacity it reuses (for callers that convert many texts one after another).
void WideToMultiByte(int32_t codePage, UnicodeStringView text, std::string& out);
// 8-bit text in `codePage` to UTF-16. Bytes the code page does not define
// become U+FFFD (a lone lead byte of a double-byte code page included).
UnicodeString MultiByteToWide(int32_t codePage, std::string_view bytes);
// 8-bit text in `codePage` straight to UTF-8: the same bytes as
// ToUtf8(MultiByteToWide(codePage, bytes)), without the UTF-16 copy where
// the code page allows it (single-byte pages).
std::string MultiByteToUtf8(int32_t codePage, std::string_view bytes);
// 8-bit text in `codePage` as it comes back from UTF-16: the same bytes as
// WideToMultiByte(codePage, MultiByteToWide(codePage, bytes)), without the
// UTF-16 copy where the code page allows it (single-byte pages, where it is
// one table, mostly the bytes themselves).
std::string MultiByteRoundTrip(int32_t codePage, std::string_view bytes);
// True when MultiByteRoundTrip(codePage, bytes) gives `bytes` back for every
// text (a single-byte page whose every byte comes back as itself), so a
// caller may read the bytes as they are. False where that is not known.
bool RoundTripKeepsEveryByte(int32_t codePage);
// True when every character of `text` survives the round trip through `codePage`.
bool IsRepresentable(int32_t codePage, UnicodeStringView text);

// Shorthands for the active code page.
inline std::string ToAnsi(UnicodeStringView text) { return WideToMultiByte(GetACP(), text); }
inline UnicodeString FromAnsi(std::string_view bytes) { return MultiByteToWide(GetACP(), bytes); }
inline std::string AnsiToUtf8(std::string_view bytes) { return MultiByteToUtf8(GetACP(), bytes); }

// The platform's OEM-to-character conversion: bytes read as characters of the
// OEM code page that pairs with the active ANSI code page.
UnicodeString OemToChar(std::string_view bytes);
