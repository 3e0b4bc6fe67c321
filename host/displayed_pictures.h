// Pictures made into ones a page can show, where the host can convert them:
// WMF drawn as PNG (wmf_to_png.h). The others stay as they are; each format's
// renderer shows a placeholder for them and offers the original.
#pragma once

#include "rtf/document.h"

// Converts the pictures of `document` in place. Costs one drawing per WMF.
void ConvertPicturesForDisplay(rtf::Document& document);
