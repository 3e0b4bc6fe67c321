#include "rtf/picture_format.h"

#include <algorithm>

namespace rtf {
namespace {

constexpr PictureFormat kFormats[] = {
    {PictureKind::kPng, "PNG", "png", "image/png", true},
    {PictureKind::kJpeg, "JPEG", "jpg", "image/jpeg", true},
    {PictureKind::kBmp, "BMP", "bmp", "image/bmp", true},
    {PictureKind::kEmf, "EMF", "emf", "image/emf", false},
    {PictureKind::kWmf, "WMF", "wmf", "image/wmf", false},
    {PictureKind::kBitmap, "Windows bitmap", "dib", "application/octet-stream", false},
};

// 1440 twips an inch, 96 CSS pixels an inch.
int32_t Pixels(int32_t twips) { return std::max(1, twips / 15); }

}  // namespace

const PictureFormat& FormatOf(PictureKind kind) {
  for (const PictureFormat& format : kFormats)
    if (format.kind == kind) return format;
  return kFormats[0];
}

std::string PictureLabel(const Picture& picture, size_t index) {
  std::string label = "picture " + std::to_string(index + 1) + ": " + FormatOf(picture.kind).name + ", ";
  if (picture.widthTwips > 0 && picture.heightTwips > 0)
    return label + std::to_string(Pixels(picture.widthTwips)) + " \u00D7 " + std::to_string(Pixels(picture.heightTwips)) + " px";
  return label + std::to_string(picture.bytes.size()) + " bytes";
}

}  // namespace rtf
