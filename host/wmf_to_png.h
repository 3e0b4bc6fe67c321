// Windows metafiles (WMF, as RTF's \wmetafile stores them) drawn as PNG, so
// that exported pages can show them: browsers show no WMF.
//
// Drawn by libwmf (Debian's libwmf-0.2-7, with the URW base fonts for text),
// in a child process: a metafile is data from the database, and a damaged or
// hostile one must not take the export down with a crash or a hang. Costs one
// fork and the drawing (milliseconds for a typical picture); holds nothing
// after it returns.
#pragma once

#include <string>
#include <string_view>

// A PNG of `wmf` `width` by `height` pixels (capped at kMaxPngSide a side),
// or, when either is 0, at the metafile's own size at 96 pixels an inch.
// Empty when libwmf cannot draw it (damaged metafile, no fonts installed, or
// the drawing took longer than kDrawingSeconds).
std::string WmfToPng(std::string_view wmf, int width, int height);

constexpr int kMaxPngSide = 4096;
constexpr unsigned kDrawingSeconds = 10;
