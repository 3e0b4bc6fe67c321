#include "runtime/file_name.h"

#include <gtest/gtest.h>

#include "runtime/utf8.h"

TEST(FileName, ExtensionFromTheLastDotUnlessASeparatorFollows) {
  const struct {
    const char16_t* path;
    const char16_t* extension;
  } rows[] = {
      {u"notes.xrd", u".xrd"},
      {u"C:\\data\\notes.tar.XTP", u".XTP"},
      {u"C:\\data.d\\notes", u""},
      {u"notes.xrd:stream", u""},
      {u"dir.d/notes", u".d/notes"},  // '/' is no separator
      {u"notes", u""},
      {u"notes.", u"."},
  };
  for (const auto& row : rows) EXPECT_EQ(ExtractFileExt(row.path), UnicodeString(row.extension)) << ToUtf8(row.path);
}
