// BMP files made of the bitmaps RTF stores without a file header.
#include "rtf/bitmap_file.h"

#include <gtest/gtest.h>

#include <string>

namespace rtf {
namespace {

std::string Le(uint32_t value, size_t size) {
  std::string out;
  for (size_t i = 0; i < size; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
  return out;
}

// An info header of `size` bytes (40 and up): width 2, height 1, then the given fields.
std::string InfoHeader(uint32_t size, uint32_t depth, uint32_t compression, uint32_t coloursUsed) {
  std::string h = Le(size, 4) + Le(2, 4) + Le(1, 4) + Le(1, 2) + Le(depth, 2) + Le(compression, 4) + Le(0, 4) +
                  Le(0, 4) + Le(0, 4) + Le(coloursUsed, 4) + Le(0, 4);
  return h + std::string(size - 40, '\0');
}

// The pixel data offset a BMP file names, or -1 for no file.
int64_t PixelOffset(const std::string& bmp) {
  if (bmp.empty()) return -1;
  EXPECT_EQ(bmp.substr(0, 2), "BM");
  EXPECT_EQ(bmp.substr(2, 4), Le(static_cast<uint32_t>(bmp.size()), 4)) << "the file size";
  return static_cast<unsigned char>(bmp[10]) | static_cast<unsigned char>(bmp[11]) << 8;
}

TEST(BitmapFileTest, PackedDibGetsAFileHeader) {
  const std::string pixels(8, '\x11');
  const struct {
    const char* name;
    std::string dib;
    int64_t offset;  // -1: no BMP file
  } rows[] = {
      {"24 bits, no colour table", InfoHeader(40, 24, 0, 0) + pixels, 14 + 40},
      {"1 bit: two colours", InfoHeader(40, 1, 0, 0) + std::string(8, '\0') + pixels, 14 + 40 + 8},
      {"8 bits, 3 colours used", InfoHeader(40, 8, 0, 3) + std::string(12, '\0') + pixels, 14 + 40 + 12},
      {"bit fields after the header", InfoHeader(40, 16, 3, 0) + std::string(12, '\0') + pixels, 14 + 40 + 12},
      {"version 5 header keeps its masks", InfoHeader(124, 32, 3, 0) + pixels, 14 + 124},
      {"core header, 3-byte colours", Le(12, 4) + Le(2, 2) + Le(1, 2) + Le(1, 2) + Le(4, 2) + std::string(48, '\0') + pixels,
       14 + 12 + 48},
      {"colour table cut off", InfoHeader(40, 8, 0, 0) + pixels, -1},
      {"more than 256 colours for 8 bits", InfoHeader(40, 8, 0, 257) + std::string(2000, '\0'), -1},
      {"unknown header size", Le(20, 4) + std::string(40, '\0'), -1},
      {"no pixel depth (JPEG inside)", InfoHeader(40, 0, 4, 0) + pixels, -1},
      {"header cut off", InfoHeader(40, 24, 0, 0).substr(0, 30), -1},
      {"empty", "", -1},
  };
  for (const auto& row : rows) {
    const std::string bmp = BmpFromPackedDib(row.dib);
    EXPECT_EQ(PixelOffset(bmp), row.offset) << row.name;
    if (!bmp.empty()) {
      EXPECT_EQ(bmp.substr(14), row.dib) << row.name;
    }
  }
}

TEST(BitmapFileTest, DeviceBitmapRowsArePaddedAndKeepTheirOrder) {
  // 3 x 2 pixels, 1 bit each, rows of 2 bytes as stored: BMP rows of 4 bytes, top first.
  const std::string bmp = BmpFromDeviceBitmap({3, 2, 1, 1, 2}, "\xA0\x01\x40\x02");
  ASSERT_EQ(PixelOffset(bmp), 14 + 40 + 8);
  EXPECT_EQ(bmp.substr(14, 16), Le(40, 4) + Le(3, 4) + Le(uint32_t(-2), 4) + Le(1, 2) + Le(1, 2));
  EXPECT_EQ(bmp.substr(54, 8), Le(0x000000, 4) + Le(0xFFFFFF, 4)) << "black, white";
  EXPECT_EQ(bmp.substr(62), std::string("\xA0\x00\x00\x00\x40\x00\x00\x00", 8));

  const struct {
    const char* name;
    DeviceBitmap bitmap;
    size_t bits;
    int64_t offset;
  } rows[] = {
      {"4 bits: the 16 colours", {3, 2, 4, 1, 2}, 4, 14 + 40 + 64},
      {"24 bits", {2, 2, 24, 1, 6}, 12, 14 + 40},
      {"row length not given: 16-bit rows", {9, 1, 1, 1, 0}, 2, 14 + 40 + 8},
      {"8 bits have no palette", {2, 2, 8, 1, 2}, 4, -1},
      {"several planes", {2, 2, 1, 4, 2}, 16, -1},
      {"rows shorter than the width", {17, 1, 1, 1, 2}, 2, -1},
      {"bits cut off", {3, 2, 1, 1, 2}, 3, -1},
      {"no size", {0, 2, 1, 1, 2}, 4, -1},
      {"huge size, few bits", {32767, 32767, 24, 1, 98304}, 100, -1},
  };
  for (const auto& row : rows)
    EXPECT_EQ(PixelOffset(BmpFromDeviceBitmap(row.bitmap, std::string(row.bits, '\x55'))), row.offset) << row.name;
}

}  // namespace
}  // namespace rtf
