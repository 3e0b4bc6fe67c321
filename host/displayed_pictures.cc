#include "host/displayed_pictures.h"

#include "host/wmf_to_png.h"

void ConvertPicturesForDisplay(rtf::Document& document) {
  for (rtf::Picture& picture : document.pictures) {
    if (picture.kind != rtf::PictureKind::kWmf) continue;
    // Twice the shown size in CSS pixels (15 twips each), sharp on high-density screens too.
    std::string png = WmfToPng(picture.bytes, picture.widthTwips * 2 / 15, picture.heightTwips * 2 / 15);
    if (png.empty()) continue;
    picture.kind = rtf::PictureKind::kPng;
    picture.bytes = std::move(png);
  }
}
