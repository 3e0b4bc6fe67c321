// A small Windows metafile for the picture tests, as RTF's \wmetafile8
// stores one (no placeable header): a 200 x 100 window with a red rectangle
// and the text "Hi".
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

inline std::string SampleWmf() {
  auto word = [](std::string& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
  };
  std::string records;
  uint32_t largest = 0;
  auto record = [&](uint16_t function, std::initializer_list<uint16_t> parameters) {
    const uint32_t words = 3 + static_cast<uint32_t>(parameters.size());
    largest = words > largest ? words : largest;
    word(records, words, 4);
    word(records, function, 2);
    for (const uint16_t p : parameters) word(records, p, 2);
  };
  record(0x0103, {8});                        // SETMAPMODE anisotropic
  record(0x020C, {100, 200});                 // SETWINDOWEXT y, x
  record(0x02FC, {0, 0x00FF, 0, 0});          // CREATEBRUSHINDIRECT solid red
  record(0x012D, {0});                        // SELECTOBJECT
  record(0x041B, {90, 190, 10, 10});          // RECTANGLE bottom, right, top, left
  record(0x02FB, {uint16_t(-20), 0, 0, 0, 400, 0, 0, 0, 0, 'A' | 'r' << 8, 'i' | 'a' << 8, 'l', 0});  // CREATEFONTINDIRECT
  record(0x012D, {1});
  record(0x0521, {2, 'H' | 'i' << 8, 20, 50});  // TEXTOUT length, "Hi", y, x
  record(0x0000, {});                         // EOF
  std::string wmf;
  word(wmf, 1, 2);  // in memory
  word(wmf, 9, 2);  // header words
  word(wmf, 0x300, 2);
  word(wmf, static_cast<uint32_t>((18 + records.size()) / 2), 4);
  word(wmf, 2, 2);  // objects
  word(wmf, largest, 4);
  word(wmf, 0, 2);
  return wmf + records;
}

inline std::string Hex(const std::string& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  for (const char c : bytes) {
    out += kDigits[static_cast<unsigned char>(c) >> 4];
    out += kDigits[static_cast<unsigned char>(c) & 15];
  }
  return out;
}
