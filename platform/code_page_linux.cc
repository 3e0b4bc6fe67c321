// Code pages on Linux: the active code page follows the locale variables, and
// conversions go through ICU. Single-byte code pages are turned into two
// lookup tables on first use (the dataset converts every stored text, so the
// per-call cost matters); double-byte code pages use ICU's converters.
#include <unicode/ucnv.h>

#include <array>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/code_page.h"
#include "runtime/exceptions.h"
#include "runtime/utf8.h"

namespace {

int32_t& ActiveCodePageSlot() {
  static int32_t codePage = 0;  // 0: not derived yet
  return codePage;
}

std::string IcuNameFor(int32_t codePage) {
  std::string n = std::to_string(codePage);
  if (codePage == 932) return "windows-31j";
  if (codePage == 936) return "windows-936-2000";
  if (codePage == 949) return "windows-949-2000";
  if (codePage == 950) return "windows-950-2000";
  if (codePage >= 1250 && codePage <= 1258) return "windows-" + n;
  if (codePage == 874) return "windows-874-2000";
  if (codePage == 10000) return "macintosh";
  return "cp" + n;
}

struct ConverterCloser {
  void operator()(UConverter* c) const { ucnv_close(c); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterCloser>;

ConverterPtr OpenConverter(int32_t codePage) {
  UErrorCode err = U_ZERO_ERROR;
  ConverterPtr c(ucnv_open(IcuNameFor(codePage).c_str(), &err));
  if (U_FAILURE(err) || !c) {
    err = U_ZERO_ERROR;
    c.reset(ucnv_open(("ibm-" + std::to_string(codePage)).c_str(), &err));
  }
  if (U_FAILURE(err) || !c)
    throw EEncodingError(FormatText(u"No mapping for the Unicode character exists in the target multi-byte code page (%d)",
                                    {int64_t(codePage)}));
  err = U_ZERO_ERROR;
  ucnv_setSubstChars(c.get(), "?", 1, &err);
  ucnv_setFallback(c.get(), false);
  return c;
}

// One code page's conversion state: tables for single-byte pages, an ICU
// converter for the others.
struct CodePageConverter {
  bool singleByte = false;
  std::array<char16_t, 256> toWide{};
  std::vector<uint8_t> fromWide;      // 65536 entries; 0 with hasByte false means unmapped
  std::vector<bool> hasByte;
  ConverterPtr icu;
};

CodePageConverter BuildConverter(int32_t codePage) {
  CodePageConverter cv;
  cv.icu = OpenConverter(codePage);
  if (ucnv_getMaxCharSize(cv.icu.get()) != 1) return cv;
  cv.singleByte = true;
  cv.fromWide.assign(65536, 0);
  cv.hasByte.assign(65536, false);
  for (int b = 0; b < 256; ++b) {
    char in = static_cast<char>(b);
    UChar out[4];
    UErrorCode err = U_ZERO_ERROR;
    ucnv_reset(cv.icu.get());
    int32_t n = ucnv_toUChars(cv.icu.get(), out, 4, &in, 1, &err);
    char16_t w = 0xFFFD;
    if (U_SUCCESS(err) && n == 1 && out[0] != 0xFFFD && out[0] != 0x1A) w = out[0];
    if (b == 0x1A) w = 0x1A;
    // Bytes a Windows single-byte page leaves undefined map to the control
    // character of the same value, as the Windows converters do.
    if (w == 0xFFFD && b >= 0x80 && b < 0xA0) w = static_cast<char16_t>(b);
    cv.toWide[b] = w;
  }
  for (int b = 255; b >= 0; --b) {
    char16_t w = cv.toWide[b];
    if (w != 0xFFFD) {
      cv.fromWide[w] = static_cast<uint8_t>(b);
      cv.hasByte[w] = true;
    }
  }
  return cv;
}

CodePageConverter& ConverterFor(int32_t codePage) {
  static std::mutex mutex;
  static std::map<int32_t, std::unique_ptr<CodePageConverter>> cache;
  std::lock_guard<std::mutex> lock(mutex);
  auto it = cache.find(codePage);
  if (it == cache.end())
    it = cache.emplace(codePage, std::make_unique<CodePageConverter>(BuildConverter(codePage))).first;
  return *it->second;
}

}  // namespace

int32_t GetACP() {
  int32_t& cp = ActiveCodePageSlot();
  if (cp == 0) {
    const char* vars[] = {"LC_ALL", "LC_CTYPE", "LANG"};
    std::string locale;
    for (const char* v : vars) {
      const char* value = std::getenv(v);
      if (value && *value) {
        locale = value;
        break;
      }
    }
    cp = AnsiCodePageForLocale(locale);
  }
  return cp;
}

int32_t GetOEMCP() { return OemCodePageForAnsi(GetACP()); }

void SetActiveCodePage(int32_t codePage) { ActiveCodePageSlot() = codePage; }

ScopedActiveCodePage::ScopedActiveCodePage(int32_t codePage) : saved_(ActiveCodePageSlot()) {
  SetActiveCodePage(codePage);
}
ScopedActiveCodePage::~ScopedActiveCodePage() { ActiveCodePageSlot() = saved_; }

std::string WideToMultiByte(int32_t codePage, UnicodeStringView text) {
  if (codePage == kCodePageUtf8) return ToUtf8(text);
  CodePageConverter& cv = ConverterFor(codePage);
  if (cv.singleByte) {
    // Written through a pointer: a push_back per character was a fifth of
    // the whole import's time.
    std::string out(text.size(), '\0');
    char* next = out.data();
    for (size_t i = 0; i < text.size(); ++i) {
      char16_t c = text[i];
      if (cv.hasByte[c]) {
        *next++ = static_cast<char>(cv.fromWide[c]);
        continue;
      }
      *next++ = '?';
      // A surrogate pair is one character and gets one default character.
      if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) ++i;
    }
    out.resize(static_cast<size_t>(next - out.data()));
    return out;
  }
  if (text.empty()) return std::string();
  UErrorCode err = U_ZERO_ERROR;
  ucnv_reset(cv.icu.get());
  std::string out(text.size() * 4 + 4, '\0');
  int32_t n = ucnv_fromUChars(cv.icu.get(), out.data(), static_cast<int32_t>(out.size()),
                              reinterpret_cast<const UChar*>(text.data()), static_cast<int32_t>(text.size()), &err);
  if (U_FAILURE(err)) throw EEncodingError(u"No mapping for the Unicode character exists in the target multi-byte code page");
  out.resize(static_cast<size_t>(n));
  return out;
}

UnicodeString MultiByteToWide(int32_t codePage, std::string_view bytes) {
  if (codePage == kCodePageUtf8) return FromUtf8(bytes);
  CodePageConverter& cv = ConverterFor(codePage);
  if (cv.singleByte) {
    UnicodeString out(bytes.size(), u'\0');
    for (size_t i = 0; i < bytes.size(); ++i) out[i] = cv.toWide[static_cast<uint8_t>(bytes[i])];
    return out;
  }
  if (bytes.empty()) return UnicodeString();
  UErrorCode err = U_ZERO_ERROR;
  ucnv_reset(cv.icu.get());
  UnicodeString out(bytes.size() + 2, u'\0');
  int32_t n = ucnv_toUChars(cv.icu.get(), reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()),
                            bytes.data(), static_cast<int32_t>(bytes.size()), &err);
  if (U_FAILURE(err)) throw EEncodingError(u"No mapping for the multi-byte character exists in the target code page");
  out.resize(static_cast<size_t>(n));
  return out;
}

bool IsRepresentable(int32_t codePage, UnicodeStringView text) {
  return MultiByteToWide(codePage, WideToMultiByte(codePage, text)) == text;
}

UnicodeString OemToChar(std::string_view bytes) { return MultiByteToWide(GetOEMCP(), bytes); }
