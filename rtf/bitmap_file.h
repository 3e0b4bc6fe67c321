// BMP files of the bitmaps RTF stores without a file header, so that they can
// be shown (browsers display BMP). Pure functions; each output is about the
// size of its input, whatever the headers claim.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace rtf {

// A BMP file of a packed device-independent bitmap (\dibitmap: its info
// header, colour table and pixels), or empty when the header is not one a
// BMP file holds or the data is too short for it.
std::string BmpFromPackedDib(std::string_view dib);

// A Windows 3 device-dependent bitmap (\wbitmap): its size in pixels and
// layout, as \picw, \pich, \wbmbitspixel, \wbmplanes and \wbmwidthbytes give
// them, with the rows top first.
struct DeviceBitmap {
  int32_t width = 0;
  int32_t height = 0;
  int32_t bitsPerPixel = 1;
  int32_t planes = 1;
  int32_t widthBytes = 0;  // bytes a row, 0 when not given (rows padded to 16 bits)
};

// A BMP file of `bitmap`'s pixels `bits`, or empty when its layout has no
// BMP equivalent (several planes, 8 bits a pixel without a palette, ...) or
// `bits` is too short. 1 bit a pixel is black on white, 4 bits the default
// 16-colour palette.
std::string BmpFromDeviceBitmap(const DeviceBitmap& bitmap, std::string_view bits);

}  // namespace rtf
