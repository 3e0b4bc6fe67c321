#include "platform/windows_code_page_calls.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <climits>

namespace windows_code_pages {

namespace {

// The Windows functions count in int; longer texts are refused rather than cut.
bool FitsInt(size_t n) { return n <= static_cast<size_t>(INT_MAX / 4); }

const wchar_t* Wide(const char16_t* p) { return reinterpret_cast<const wchar_t*>(p); }
wchar_t* Wide(char16_t* p) { return reinterpret_cast<wchar_t*>(p); }

}  // namespace

uint32_t SystemAnsiCodePage() { return ::GetACP(); }
uint32_t SystemOemCodePage() { return ::GetOEMCP(); }

bool WideToMultiByte(uint32_t codePage, std::u16string_view text, std::string& out) {
  out.clear();
  if (!IsValidCodePage(codePage) || !FitsInt(text.size())) return false;
  if (text.empty()) return true;
  int n = WideCharToMultiByte(codePage, 0, Wide(text.data()), static_cast<int>(text.size()), nullptr, 0, nullptr,
                              nullptr);
  if (n <= 0) return false;
  out.resize(static_cast<size_t>(n));
  n = WideCharToMultiByte(codePage, 0, Wide(text.data()), static_cast<int>(text.size()), out.data(), n, nullptr,
                          nullptr);
  out.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return n > 0;
}

bool MultiByteToWide(uint32_t codePage, std::string_view bytes, std::u16string& out) {
  out.clear();
  if (!IsValidCodePage(codePage) || !FitsInt(bytes.size())) return false;
  if (bytes.empty()) return true;
  int n = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  if (n <= 0) return false;
  out.resize(static_cast<size_t>(n));
  n = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), Wide(out.data()), n);
  out.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return n > 0;
}

bool OemBytesToWide(std::string_view bytes, std::u16string& out) {
  out.clear();
  if (!FitsInt(bytes.size())) return false;
  if (bytes.empty()) return true;
  // OemToCharW stops at a zero byte; its counted form OemToCharBuffW takes
  // every byte. It reports no length: a double-byte OEM code page gives
  // fewer characters than bytes, as many as the OEM code page's own count.
  int n = MultiByteToWideChar(CP_OEMCP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  if (n <= 0) return false;
  out.assign(bytes.size() + 1, u'\0');
  if (!OemToCharBuffW(bytes.data(), Wide(out.data()), static_cast<DWORD>(bytes.size()))) return false;
  out.resize(static_cast<size_t>(n));
  return true;
}

}  // namespace windows_code_pages
