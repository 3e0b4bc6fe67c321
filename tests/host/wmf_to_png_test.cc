// WMF pictures drawn as PNG by libwmf in a child process, and the pictures
// of a document made ready for a page.
#include "host/wmf_to_png.h"

#include <gtest/gtest.h>

#include <string>

#include "host/displayed_pictures.h"
#include "tests/host/sample_wmf.h"

namespace {

// "W x H" from a PNG's header, or "none".
std::string PngSize(const std::string& png) {
  if (png.size() < 24 || png.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0) return "none";
  auto read = [&](size_t at) {
    uint32_t v = 0;
    for (size_t i = 0; i < 4; ++i) v = v << 8 | static_cast<unsigned char>(png[at + i]);
    return v;
  };
  return std::to_string(read(16)) + " x " + std::to_string(read(20));
}

TEST(WmfToPngTest, DrawsWhatLibwmfCanAndNothingElse) {
  const std::string wmf = SampleWmf();
  std::string damaged = wmf;
  damaged[18] = '\x7F';  // the first record claims to be longer than any
  const struct {
    const char* name;
    std::string wmf;
    int width, height;
    std::string size;
  } rows[] = {
      {"the asked size", wmf, 200, 100, "200 x 100"},
      {"capped", wmf, 100000, 50, std::to_string(kMaxPngSide) + " x 50"},
      {"cut short", wmf.substr(0, 40), 200, 100, "none"},
      {"a damaged record", damaged, 200, 100, "none"},
      {"not a metafile", std::string(200, 'x'), 200, 100, "none"},
      {"empty", "", 200, 100, "none"},
  };
  for (const auto& row : rows) EXPECT_EQ(PngSize(WmfToPng(row.wmf, row.width, row.height)), row.size) << row.name;
  EXPECT_NE(PngSize(WmfToPng(wmf, 0, 0)), "none") << "its own size";
}

TEST(WmfToPngTest, OnlyWmfPicturesAreConverted) {
  rtf::Document document;
  document.pictures = {{rtf::PictureKind::kWmf, SampleWmf(), 1500, 750},
                       {rtf::PictureKind::kWmf, "damaged", 1500, 750},
                       {rtf::PictureKind::kEmf, "\x01\0\0\0", 0, 0}};
  ConvertPicturesForDisplay(document);
  EXPECT_EQ(document.pictures[0].kind, rtf::PictureKind::kPng);
  EXPECT_EQ(PngSize(document.pictures[0].bytes), "200 x 100") << "twice the shown size";
  EXPECT_EQ(document.pictures[0].widthTwips, 1500);
  EXPECT_EQ(document.pictures[1].kind, rtf::PictureKind::kWmf);
  EXPECT_EQ(document.pictures[1].bytes, "damaged");
  EXPECT_EQ(document.pictures[2].kind, rtf::PictureKind::kEmf);
}

}  // namespace
