// What each kind of picture is, for every export: its name, file extension
// and media type, and whether browsers display it; and the one-line label
// that stands for a picture in text ("picture 1: EMF, 200 × 100 px").
#pragma once

#include <string>

#include "rtf/document.h"

namespace rtf {

struct PictureFormat {
  PictureKind kind;
  const char* name;       // "PNG"
  const char* extension;  // "png", without the dot
  const char* mediaType;  // "image/png"
  bool displayed;         // browsers show it in <img>
};

const PictureFormat& FormatOf(PictureKind kind);

// "picture N: KIND, W × H px" (the shown size at 96 pixels an inch), or
// "picture N: KIND, B bytes" when the size is unknown; `index` is 0-based.
std::string PictureLabel(const Picture& picture, size_t index);

}  // namespace rtf
