#include "rtf/font_code_pages.h"

namespace rtf {
namespace {

struct CharsetCodePage {
  int32_t charset;
  int32_t codePage;
};

constexpr CharsetCodePage kCharsets[] = {
    {77, 10000},  {128, 932},  {129, 949},  {134, 936},  {136, 950},  {161, 1253}, {162, 1254},
    {163, 1258}, {177, 1255}, {178, 1256}, {186, 1257}, {204, 1251}, {222, 874},  {238, 1250},
};

}  // namespace

int32_t CodePageForCharset(int32_t charset, int32_t ansiCodePage) {
  for (const CharsetCodePage& entry : kCharsets)
    if (entry.charset == charset) return entry.codePage;
  return ansiCodePage;
}

}  // namespace rtf
