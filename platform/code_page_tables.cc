// The code page tables shared by every platform: which ANSI code page a
// locale name stands for and which OEM code page pairs with an ANSI one.
#include "platform/code_page.h"

#include <string>

int32_t AnsiCodePageForLocale(std::string_view name) {
  std::string lang(name.substr(0, name.find_first_of("_.@")));
  std::string region;
  size_t us = name.find('_');
  if (us != std::string_view::npos) region = std::string(name.substr(us + 1, 2));
  struct Entry {
    const char* lang;
    int32_t codePage;
  };
  static const Entry kTable[] = {
      {"ru", 1251}, {"uk", 1251}, {"be", 1251}, {"bg", 1251}, {"sr", 1251},
      {"pl", 1250}, {"cs", 1250}, {"sk", 1250}, {"hu", 1250}, {"sl", 1250}, {"hr", 1250}, {"ro", 1250},
      {"el", 1253}, {"tr", 1254}, {"he", 1255}, {"ar", 1256}, {"fa", 1256},
      {"lt", 1257}, {"lv", 1257}, {"et", 1257}, {"vi", 1258}, {"th", 874},
      {"ja", 932},  {"ko", 949},
  };
  for (const Entry& e : kTable)
    if (lang == e.lang) return e.codePage;
  if (lang == "zh") return (region == "TW" || region == "HK") ? 950 : (region == "CN" || region == "SG") ? 936 : 1252;
  return 1252;
}

int32_t OemCodePageForAnsi(int32_t ansi) {
  switch (ansi) {
    case 1250: return 852;
    case 1251: return 866;
    case 1253: return 737;
    case 1254: return 857;
    case 1255: return 862;
    case 1256: return 720;
    case 1257: return 775;
    case 1258: return 1258;
    case 874: return 874;
    case 932: return 932;
    case 936: return 936;
    case 949: return 949;
    case 950: return 950;
    default: return 437;
  }
}
