#include "jet/standard_error_capture.h"

#include <gtest/gtest.h>

#include <cstdio>

TEST(StandardErrorCapture, KeepsLibraryOutputAndRestoresTheStream) {
  ::testing::internal::CaptureStderr();
  std::string first, second;
  {
    StandardErrorCapture outer;
    std::fprintf(stderr, "warning: one\n");
    {
      StandardErrorCapture inner;  // nested: shares the outer redirection
      std::fprintf(stderr, "warning: two\n");
    }
    first = outer.Text();
  }
  {
    StandardErrorCapture again;  // starts empty
    second = again.Text();
  }
  std::fprintf(stderr, "after\n");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "after\n");
  EXPECT_EQ(first, "warning: one\nwarning: two");
  EXPECT_EQ(second, "");
}
