#include "import_engine/character_sets.h"

#include <array>
#include <string>

#include "platform/code_page.h"

namespace {

// EBCDIC (code page 037) codes of the printable ASCII characters 32-126, in
// ASCII order. Written out rather than taken from a converter because the
// engine's table differs from any full EBCDIC code page on purpose: control
// codes pass through unchanged and everything beyond ASCII becomes ".".
constexpr uint8_t kPrintableAsciiToEbcdic[95] = {
    64,  90,  127, 123, 91,  108, 80,  125, 77,  93,  92,  78,  107, 96,  75,  97,   // blank ! " # $ % & ' ( ) * + , - . /
    240, 241, 242, 243, 244, 245, 246, 247, 248, 249, 122, 94,  76,  126, 110, 111,  // 0-9 : ; < = > ?
    124, 193, 194, 195, 196, 197, 198, 199, 200, 201, 209, 210, 211, 212, 213, 214,  // @ A-O
    215, 216, 217, 226, 227, 228, 229, 230, 231, 232, 233, 186, 224, 187, 176, 109,  // P-Z [ \ ] ^ _
    121, 129, 130, 131, 132, 133, 134, 135, 136, 137, 145, 146, 147, 148, 149, 150,  // ` a-o
    151, 152, 153, 162, 163, 164, 165, 166, 167, 168, 169, 192, 79,  208, 161,       // p-z { | } ~
};

constexpr uint8_t kEbcdicFullStop = 75;

constexpr std::array<uint8_t, 256> BuildEbcdicTable() {
  std::array<uint8_t, 256> table{};
  for (int code = 0; code < 256; ++code) {
    if (code < 32) {
      table[code] = static_cast<uint8_t>(code);
    } else if (code < 127) {
      table[code] = kPrintableAsciiToEbcdic[code - 32];
    } else {
      table[code] = kEbcdicFullStop;
    }
  }
  return table;
}

constexpr std::array<uint8_t, 256> kEbcdicTable = BuildEbcdicTable();

UnicodeString ToEbcdic(UnicodeStringView text) {
  UnicodeString result;
  result.reserve(text.size());
  for (char16_t c : text) {
    result.push_back(c < 256 ? kEbcdicTable[c] : kEbcdicFullStop);
  }
  return result;
}

UnicodeString OemBytesReadAsAnsi(UnicodeStringView text) {
  if (text.empty()) return UnicodeString();
  return OemToChar(ToAnsi(text));
}

}  // namespace

uint8_t AsciiToEbcdic(uint8_t code) { return kEbcdicTable[code]; }

UnicodeString ConvertCharacterSet(UnicodeStringView text, TSMICharacterSet characterSet) {
  switch (characterSet) {
    case csiASCII_MSDOS:
      return OemBytesReadAsAnsi(text);
    case csiEBCDIC:
      return ToEbcdic(text);
    case csiANSI_WINDOWS:
      break;
  }
  return UnicodeString(text);
}

void ConvertCharacterSet(Variant& value, TSMICharacterSet characterSet) {
  if (characterSet == csiANSI_WINDOWS || !value.IsString()) return;
  value = ConvertCharacterSet(value.AsStringRef(), characterSet);
}
