// The Windows code page functions, wrapped in a file of their own (internal
// to platform/): <windows.h> declares GetACP and GetOEMCP, which
// platform/code_page.h declares for the whole system, so the two headers
// cannot meet in one translation unit.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace windows_code_pages {

// ::GetACP() and ::GetOEMCP().
uint32_t SystemAnsiCodePage();
uint32_t SystemOemCodePage();

// WideCharToMultiByte / MultiByteToWideChar with no flags: characters a code
// page lacks become its default character, undefined bytes its default
// Unicode character. False when the code page is not installed.
bool WideToMultiByte(uint32_t codePage, std::u16string_view text, std::string& out);
bool MultiByteToWide(uint32_t codePage, std::string_view bytes, std::u16string& out);

// OemToCharW for a counted text (embedded zero bytes included).
bool OemBytesToWide(std::string_view bytes, std::u16string& out);

}  // namespace windows_code_pages
