#include "rtf/bitmap_file.h"

#include <algorithm>
#include <vector>

namespace rtf {
namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = 40;
constexpr int32_t kMaxSide = 32767;

uint32_t ReadLe(std::string_view bytes, size_t at, size_t size) {
  uint32_t value = 0;
  for (size_t i = 0; i < size; ++i) value |= uint32_t(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
  return value;
}

void AppendLe(std::string& out, uint32_t value, size_t size) {
  for (size_t i = 0; i < size; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::string FileHeader(size_t fileSize, size_t pixelOffset) {
  std::string out = "BM";
  AppendLe(out, static_cast<uint32_t>(fileSize), 4);
  AppendLe(out, 0, 4);
  AppendLe(out, static_cast<uint32_t>(pixelOffset), 4);
  return out;
}

bool KnownDepth(uint32_t bits) { return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32; }

// Windows' default palette of 16 colours, as 0xRRGGBB.
constexpr uint32_t kSixteenColours[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                          0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                          0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

}  // namespace

std::string BmpFromPackedDib(std::string_view dib) {
  if (dib.size() < 4) return {};
  const uint32_t headerSize = ReadLe(dib, 0, 4);
  size_t colours = 0, entrySize = 4, masks = 0;
  uint32_t depth = 0;
  if (headerSize == 12) {  // BITMAPCOREHEADER
    if (dib.size() < 12) return {};
    depth = ReadLe(dib, 10, 2);
    entrySize = 3;
    colours = depth <= 8 ? size_t(1) << depth : 0;
  } else if (headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 108 || headerSize == 124) {
    if (dib.size() < headerSize) return {};
    depth = ReadLe(dib, 14, 2);
    const uint32_t compression = ReadLe(dib, 16, 4);
    const uint32_t used = ReadLe(dib, 32, 4);
    if (used > 256 && depth <= 8) return {};
    colours = used > 0 ? used : depth <= 8 ? size_t(1) << depth : 0;
    if (headerSize == 40 && compression == 3) masks = 12;  // BI_BITFIELDS: three masks follow the header
    if (headerSize == 40 && compression == 6) masks = 16;  // BI_ALPHABITFIELDS: four
  } else {
    return {};
  }
  if (!KnownDepth(depth)) return {};
  const size_t pixels = headerSize + colours * entrySize + masks;
  if (pixels > dib.size()) return {};
  std::string out = FileHeader(kFileHeaderSize + dib.size(), kFileHeaderSize + pixels);
  out.append(dib);
  return out;
}

std::string BmpFromDeviceBitmap(const DeviceBitmap& bitmap, std::string_view bits) {
  const int32_t depth = bitmap.bitsPerPixel;
  if (bitmap.planes > 1 || bitmap.width <= 0 || bitmap.height <= 0 || bitmap.width > kMaxSide ||
      bitmap.height > kMaxSide || !(depth == 1 || depth == 4 || depth == 16 || depth == 24 || depth == 32))
    return {};
  const size_t width = static_cast<size_t>(bitmap.width), height = static_cast<size_t>(bitmap.height);
  const size_t used = (width * static_cast<size_t>(depth) + 7) / 8;  // bytes of pixels a row
  const size_t sourceStride = bitmap.widthBytes > 0 ? static_cast<size_t>(bitmap.widthBytes) : (used + 1) / 2 * 2;
  if (sourceStride < used || bits.size() / sourceStride < height) return {};

  std::vector<uint32_t> palette;
  if (depth == 1) palette = {0x000000, 0xFFFFFF};
  if (depth == 4) palette.assign(std::begin(kSixteenColours), std::end(kSixteenColours));
  const size_t stride = (width * static_cast<size_t>(depth) + 31) / 32 * 4;
  const size_t pixels = kFileHeaderSize + kInfoHeaderSize + 4 * palette.size();

  std::string out = FileHeader(pixels + stride * height, pixels);
  AppendLe(out, kInfoHeaderSize, 4);
  AppendLe(out, static_cast<uint32_t>(bitmap.width), 4);
  AppendLe(out, static_cast<uint32_t>(-bitmap.height), 4);  // negative: rows top first, as stored
  AppendLe(out, 1, 2);
  AppendLe(out, static_cast<uint32_t>(depth), 2);
  AppendLe(out, 0, 4);  // BI_RGB
  AppendLe(out, static_cast<uint32_t>(stride * height), 4);
  AppendLe(out, 2835, 4);  // 72 dots an inch
  AppendLe(out, 2835, 4);
  AppendLe(out, static_cast<uint32_t>(palette.size()), 4);
  AppendLe(out, 0, 4);
  for (const uint32_t rgb : palette) AppendLe(out, rgb, 4);  // stored as blue, green, red, 0
  for (size_t row = 0; row < height; ++row) {
    out.append(bits.substr(row * sourceStride, used));
    out.append(stride - used, '\0');
  }
  return out;
}

}  // namespace rtf
