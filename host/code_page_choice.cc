#include "host/code_page_choice.h"

#include <algorithm>
#include <cstdlib>

#include "host/host_error.h"
#include "platform/code_page.h"
#include "runtime/utf8.h"

namespace {

// One locale per ANSI code page. Only the language (and for Chinese the
// region) decides; the list is checked against the platform's own mapping,
// so host and module cannot disagree.
constexpr const char* kCandidateLocales[] = {
    "th_TH.UTF-8", "ja_JP.UTF-8", "zh_CN.UTF-8", "ko_KR.UTF-8", "zh_TW.UTF-8", "pl_PL.UTF-8", "ru_RU.UTF-8",
    "en_US.UTF-8", "el_GR.UTF-8", "tr_TR.UTF-8", "he_IL.UTF-8", "ar_SA.UTF-8", "lt_LT.UTF-8", "vi_VN.UTF-8",
};

}  // namespace

std::vector<int32_t> SelectableCodePages() {
  std::vector<int32_t> pages;
  for (const char* locale : kCandidateLocales) pages.push_back(AnsiCodePageForLocale(locale));
  std::sort(pages.begin(), pages.end());
  pages.erase(std::unique(pages.begin(), pages.end()), pages.end());
  return pages;
}

std::string LocaleForCodePage(int32_t codePage) {
  for (const char* locale : kCandidateLocales)
    if (AnsiCodePageForLocale(locale) == codePage) return locale;
  std::string list;
  for (int32_t page : SelectableCodePages()) list += (list.empty() ? "" : ", ") + std::to_string(page);
  throw HostError("code page " + std::to_string(codePage) + " cannot be selected; choose one of " + list);
}

void SelectCodePage(int32_t codePage) {
  const std::string locale = LocaleForCodePage(codePage);
  setenv("LC_ALL", locale.c_str(), 1);
  SetActiveCodePage(codePage);
}

std::string PathInCodePage(const std::string& utf8Path, int32_t codePage) {
  const UnicodeString path = FromUtf8(utf8Path);
  if (ToUtf8(path) != utf8Path) throw HostError("the database path is not valid UTF-8: " + utf8Path);
  if (!IsRepresentable(codePage, path))
    throw HostError("the database path cannot be written in code page " + std::to_string(codePage) +
                    ", so the plug-in could not open it: " + utf8Path);
  return WideToMultiByte(codePage, path);
}
