// Code pages on Linux: the active code page follows the locale variables, and
// conversions go through ICU. Single-byte code pages are turned into lookup
// tables on first use (to UTF-16, from UTF-16 and to UTF-8: the dataset
// converts every stored text, so the per-call cost matters); double-byte code
// pages use ICU's converters.
#include <unicode/ucnv.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
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
  static constexpr uint16_t kUnmapped = 0xFFFF;  // no byte of this page stands for the character

  int32_t codePage = 0;
  bool singleByte = false;
  bool asciiIdentity = false;  // bytes 0x00-0x7F are the ASCII characters
  std::array<char16_t, 256> toWide{};
  std::vector<uint16_t> fromWide;  // 65536 entries: the byte, or kUnmapped
  // Each byte's character in UTF-8 (1 to 3 bytes), for pages none of whose
  // bytes stands for a surrogate (a surrogate pair could span two bytes).
  bool utf8Table = false;
  std::array<std::array<char, 3>, 256> toUtf8{};
  std::array<uint8_t, 256> toUtf8Length{};
  // What each byte becomes on its way to UTF-16 and back (the same pages as
  // utf8Table), and whether that is every byte itself.
  std::array<char, 256> roundTrip{};
  bool roundTripIdentity = false;
  ConverterPtr icu;
};

CodePageConverter BuildConverter(int32_t codePage) {
  CodePageConverter cv;
  cv.codePage = codePage;
  cv.icu = OpenConverter(codePage);
  if (ucnv_getMaxCharSize(cv.icu.get()) != 1) return cv;
  cv.singleByte = true;
  cv.fromWide.assign(65536, CodePageConverter::kUnmapped);
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
    if (w != 0xFFFD) cv.fromWide[w] = static_cast<uint16_t>(b);
  }
  cv.asciiIdentity = true;
  for (int b = 0; b < 0x80; ++b) cv.asciiIdentity = cv.asciiIdentity && cv.toWide[b] == b;
  cv.utf8Table = true;
  for (int b = 0; b < 256; ++b) {
    char16_t w = cv.toWide[b];
    if (w >= 0xD800 && w <= 0xDFFF) cv.utf8Table = false;
    std::string utf8 = ToUtf8(UnicodeStringView(&w, 1));
    std::copy(utf8.begin(), utf8.end(), cv.toUtf8[b].begin());
    cv.toUtf8Length[b] = static_cast<uint8_t>(utf8.size());
  }
  cv.roundTripIdentity = true;
  for (int b = 0; b < 256; ++b) {
    const uint16_t back = cv.fromWide[cv.toWide[b]];
    cv.roundTrip[b] = back == CodePageConverter::kUnmapped ? '?' : static_cast<char>(back);
    cv.roundTripIdentity = cv.roundTripIdentity && back == b;
  }
  return cv;
}

// Eight bytes at `p` are all ASCII.
bool AsciiWord(const char* p) {
  uint64_t word;
  std::memcpy(&word, p, sizeof word);
  return (word & 0x8080808080808080ull) == 0;
}

// The number of ASCII bytes at the start of `bytes`: sixteen at a time
// with SSE2 where the compiler targets it, then eight through a word.
size_t AsciiPrefixLength(std::string_view bytes) {
  const size_t n = bytes.size();
  size_t i = 0;
#if defined(__SSE2__)
  for (; i + 16 <= n; i += 16) {
    __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes.data() + i));
    if (_mm_movemask_epi8(chunk) != 0) break;
  }
#endif
  for (; i + 8 <= n && AsciiWord(bytes.data() + i); i += 8) {
  }
  while (i < n && static_cast<uint8_t>(bytes[i]) < 0x80) ++i;
  return i;
}

// Copies the ASCII characters at the start of `text` (at most `n`) to
// `out` as bytes and advances `out`; answers how many. Sixteen, then eight
// at a time with SSE2 where the compiler targets it, else four through a
// 64-bit word.
size_t NarrowAscii(const char16_t* text, size_t n, char*& out) {
  size_t i = 0;
#if defined(__SSE2__)
  const __m128i nonAscii = _mm_set1_epi16(static_cast<short>(0xFF80));
  for (; i + 16 <= n; i += 16) {
    __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
    __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i + 8));
    __m128i beyond = _mm_and_si128(_mm_or_si128(low, high), nonAscii);
    if (_mm_movemask_epi8(_mm_cmpeq_epi16(beyond, _mm_setzero_si128())) != 0xFFFF) break;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(low, high));
    out += 16;
  }
  for (; i + 8 <= n; i += 8) {
    __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
    __m128i high = _mm_and_si128(units, nonAscii);
    if (_mm_movemask_epi8(_mm_cmpeq_epi16(high, _mm_setzero_si128())) != 0xFFFF) break;
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(units, units));
    out += 8;
  }
#endif
  for (; i + 4 <= n; i += 4) {
    uint64_t word;
    std::memcpy(&word, text + i, sizeof word);
    if (word & 0xFF80FF80FF80FF80ull) break;
    for (size_t k = 0; k < 4; ++k) *out++ = static_cast<char>(text[i + k]);
  }
  return i;
}

std::atomic<CodePageConverter*> lastUsedConverter{nullptr};

// Finds or builds the converter of `codePage` and makes it the last used.
// Out of line: building one takes a large stack frame that the common case
// should not set up.
__attribute__((noinline)) CodePageConverter& LoadConverter(int32_t codePage) {
  static std::mutex mutex;
  static std::map<int32_t, std::unique_ptr<CodePageConverter>> cache;
  std::lock_guard<std::mutex> lock(mutex);
  auto it = cache.find(codePage);
  if (it == cache.end())
    it = cache.emplace(codePage, std::make_unique<CodePageConverter>(BuildConverter(codePage))).first;
  lastUsedConverter.store(it->second.get(), std::memory_order_release);
  return *it->second;
}

CodePageConverter& ConverterFor(int32_t codePage) {
  // Every stored text is converted, nearly always in the same code page: the
  // converter used last answers without the lock and the look-up. Converters
  // live as long as the process and know their code page, so one atomic
  // pointer is the whole check (a thread_local costs a call into the dynamic
  // linker in a loaded module).
  CodePageConverter* used = lastUsedConverter.load(std::memory_order_acquire);
  if (used && used->codePage == codePage) return *used;
  return LoadConverter(codePage);
}

// Widens `bytes` of a single-byte page through its table into a string made
// at its final size, written in pieces through a small buffer: a string
// cannot be sized without filling it first, and filling it took as long as
// the widening.
UnicodeString WidenSingleByte(const CodePageConverter& cv, std::string_view bytes) {
  UnicodeString out;
  out.reserve(bytes.size());
  constexpr size_t kPiece = 256;
  char16_t piece[kPiece];
  for (size_t start = 0; start < bytes.size(); start += kPiece) {
    const size_t n = std::min(kPiece, bytes.size() - start);
    const char* in = bytes.data() + start;
    for (size_t i = 0; i < n; ++i) piece[i] = cv.toWide[static_cast<uint8_t>(in[i])];
    out.append(piece, n);
  }
  return out;
}

// Derives the active code page from the locale variables, once.
__attribute__((noinline)) int32_t DeriveActiveCodePage() {
  const char* vars[] = {"LC_ALL", "LC_CTYPE", "LANG"};
  std::string locale;
  for (const char* v : vars) {
    const char* value = std::getenv(v);
    if (value && *value) {
      locale = value;
      break;
    }
  }
  ActiveCodePageSlot() = AnsiCodePageForLocale(locale);
  return ActiveCodePageSlot();
}

}  // namespace

// Every conversion of stored text asks: kept small so that the linker can
// inline it.
int32_t GetACP() {
  const int32_t cp = ActiveCodePageSlot();
  return cp != 0 ? cp : DeriveActiveCodePage();
}

int32_t GetOEMCP() { return OemCodePageForAnsi(GetACP()); }

void SetActiveCodePage(int32_t codePage) { ActiveCodePageSlot() = codePage; }

ScopedActiveCodePage::ScopedActiveCodePage(int32_t codePage) : saved_(ActiveCodePageSlot()) {
  SetActiveCodePage(codePage);
}
ScopedActiveCodePage::~ScopedActiveCodePage() { ActiveCodePageSlot() = saved_; }

void WideToMultiByte(int32_t codePage, UnicodeStringView text, std::string& out) {
  if (codePage == kCodePageUtf8) {
    out = ToUtf8(text);
    return;
  }
  CodePageConverter& cv = ConverterFor(codePage);
  if (cv.singleByte) {
    // Written through a pointer (a push_back per character was a fifth of the
    // whole import's time), runs of ASCII several characters at a time.
    out.resize(text.size());
    char* next = out.data();
    const size_t n = text.size();
    for (size_t i = 0; i < n; ++i) {
      if (cv.asciiIdentity) {
        i += NarrowAscii(text.data() + i, n - i, next);
        if (i == n) break;
      }
      char16_t c = text[i];
      uint16_t byte = cv.fromWide[c];
      if (byte != CodePageConverter::kUnmapped) {
        *next++ = static_cast<char>(byte);
        continue;
      }
      *next++ = '?';
      // A surrogate pair is one character and gets one default character.
      if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) ++i;
    }
    out.resize(static_cast<size_t>(next - out.data()));
    return;
  }
  if (text.empty()) {
    out.clear();
    return;
  }
  UErrorCode err = U_ZERO_ERROR;
  ucnv_reset(cv.icu.get());
  out.resize(text.size() * 4 + 4);
  int32_t n = ucnv_fromUChars(cv.icu.get(), out.data(), static_cast<int32_t>(out.size()),
                              reinterpret_cast<const UChar*>(text.data()), static_cast<int32_t>(text.size()), &err);
  if (U_FAILURE(err)) throw EEncodingError(u"No mapping for the Unicode character exists in the target multi-byte code page");
  out.resize(static_cast<size_t>(n));
}

std::string WideToMultiByte(int32_t codePage, UnicodeStringView text) {
  std::string out;
  WideToMultiByte(codePage, text, out);
  return out;
}

UnicodeString MultiByteToWide(int32_t codePage, std::string_view bytes) {
  if (codePage == kCodePageUtf8) return FromUtf8(bytes);
  CodePageConverter& cv = ConverterFor(codePage);
  if (cv.singleByte) return WidenSingleByte(cv, bytes);
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

std::string MultiByteToUtf8(int32_t codePage, std::string_view bytes) {
  if (codePage == kCodePageUtf8) return ToUtf8(FromUtf8(bytes));
  CodePageConverter& cv = ConverterFor(codePage);
  if (!cv.singleByte || !cv.utf8Table) return ToUtf8(MultiByteToWide(codePage, bytes));
  // ASCII is the same bytes in UTF-8: a text that is all ASCII, as most
  // stored contents are, is one copy.
  const size_t n = bytes.size();
  const bool ascii = cv.asciiIdentity;
  const size_t prefix = ascii ? AsciiPrefixLength(bytes) : 0;
  if (prefix == n) return std::string(bytes);
  // Two passes over the rest, the length first, so the result is allocated
  // once at its size.
  size_t length = prefix;
  for (size_t i = prefix; i < n;) {
    if (ascii && i + 8 <= n && AsciiWord(bytes.data() + i)) {
      length += 8;
      i += 8;
      continue;
    }
    length += cv.toUtf8Length[static_cast<uint8_t>(bytes[i++])];
  }
  std::string out(length, '\0');
  std::memcpy(out.data(), bytes.data(), prefix);
  char* next = out.data() + prefix;
  for (size_t i = prefix; i < n;) {
    if (ascii && i + 8 <= n && AsciiWord(bytes.data() + i)) {
      std::memcpy(next, bytes.data() + i, 8);
      next += 8;
      i += 8;
      continue;
    }
    uint8_t b = static_cast<uint8_t>(bytes[i++]);
    const auto& utf8 = cv.toUtf8[b];
    for (uint8_t k = 0; k < cv.toUtf8Length[b]; ++k) *next++ = utf8[k];
  }
  return out;
}

std::string MultiByteRoundTrip(int32_t codePage, std::string_view bytes) {
  if (codePage != kCodePageUtf8) {
    CodePageConverter& cv = ConverterFor(codePage);
    if (cv.singleByte && cv.utf8Table) {
      if (cv.roundTripIdentity) return std::string(bytes);
      std::string out(bytes.size(), '\0');
      for (size_t i = 0; i < bytes.size(); ++i) out[i] = cv.roundTrip[static_cast<uint8_t>(bytes[i])];
      return out;
    }
  }
  return WideToMultiByte(codePage, MultiByteToWide(codePage, bytes));
}

bool RoundTripKeepsEveryByte(int32_t codePage) {
  if (codePage == kCodePageUtf8) return false;
  const CodePageConverter& cv = ConverterFor(codePage);
  return cv.singleByte && cv.utf8Table && cv.roundTripIdentity;
}

bool IsRepresentable(int32_t codePage, UnicodeStringView text) {
  return MultiByteToWide(codePage, WideToMultiByte(codePage, text)) == text;
}

UnicodeString OemToChar(std::string_view bytes) { return MultiByteToWide(GetOEMCP(), bytes); }
