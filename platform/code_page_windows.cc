// Code pages on Windows: the active code page is the system's (GetACP) unless
// a caller overrides it, and every conversion is the system's own
// (WideCharToMultiByte / MultiByteToWideChar with no flags, OemToCharW).
#include "platform/code_page.h"
#include "platform/windows_code_page_calls.h"
#include "runtime/exceptions.h"
#include "runtime/utf8.h"

namespace {

int32_t& OverrideSlot() {
  static int32_t codePage = 0;  // 0: the system's code page
  return codePage;
}

[[noreturn]] void ThrowMissingCodePage(int32_t codePage) {
  throw EEncodingError(FormatText(u"No mapping for the Unicode character exists in the target multi-byte code page (%d)",
                                  {int64_t(codePage)}));
}

}  // namespace

int32_t GetACP() {
  int32_t cp = OverrideSlot();
  return cp != 0 ? cp : static_cast<int32_t>(windows_code_pages::SystemAnsiCodePage());
}

int32_t GetOEMCP() {
  int32_t cp = OverrideSlot();
  return cp != 0 ? OemCodePageForAnsi(cp) : static_cast<int32_t>(windows_code_pages::SystemOemCodePage());
}

void SetActiveCodePage(int32_t codePage) { OverrideSlot() = codePage; }

ScopedActiveCodePage::ScopedActiveCodePage(int32_t codePage) : saved_(OverrideSlot()) { SetActiveCodePage(codePage); }
ScopedActiveCodePage::~ScopedActiveCodePage() { OverrideSlot() = saved_; }

void WideToMultiByte(int32_t codePage, UnicodeStringView text, std::string& out) {
  if (!windows_code_pages::WideToMultiByte(static_cast<uint32_t>(codePage), text, out)) ThrowMissingCodePage(codePage);
}

std::string WideToMultiByte(int32_t codePage, UnicodeStringView text) {
  std::string out;
  WideToMultiByte(codePage, text, out);
  return out;
}

UnicodeString MultiByteToWide(int32_t codePage, std::string_view bytes) {
  UnicodeString out;
  if (!windows_code_pages::MultiByteToWide(static_cast<uint32_t>(codePage), bytes, out)) ThrowMissingCodePage(codePage);
  return out;
}

std::string MultiByteToUtf8(int32_t codePage, std::string_view bytes) {
  return ToUtf8(MultiByteToWide(codePage, bytes));
}

std::string MultiByteRoundTrip(int32_t codePage, std::string_view bytes) {
  return WideToMultiByte(codePage, MultiByteToWide(codePage, bytes));
}

// The system's tables are not examined here: every caller converts.
bool RoundTripKeepsEveryByte(int32_t) { return false; }

bool IsRepresentable(int32_t codePage, UnicodeStringView text) {
  return MultiByteToWide(codePage, WideToMultiByte(codePage, text)) == text;
}

UnicodeString OemToChar(std::string_view bytes) {
  // An overridden active code page brings its own OEM partner, which the
  // system conversion knows nothing about.
  if (OverrideSlot() != 0) return MultiByteToWide(GetOEMCP(), bytes);
  UnicodeString out;
  if (!windows_code_pages::OemBytesToWide(bytes, out)) ThrowMissingCodePage(GetOEMCP());
  return out;
}
