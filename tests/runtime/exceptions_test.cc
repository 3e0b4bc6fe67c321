#include "runtime/exceptions.h"

#include <gtest/gtest.h>

TEST(Exceptions, WhatIsTheMessageInUtf8) {
  try {
    throw EDatabaseError(FormatText(u"Field '%s' not found", {UnicodeString(u"T\u00EDtulo")}));
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "Field 'T\xC3\xADtulo' not found");
  }
}

TEST(Exceptions, FormatTextFillsPlaceholdersInOrder) {
  EXPECT_EQ(FormatText(u"Invalid count (%d)", {int64_t(-1)}), u"Invalid count (-1)");
  EXPECT_EQ(FormatText(u"Duplicate name '%s' in %s", {UnicodeString(u"A"), UnicodeString(u"TFieldDefs")}),
            u"Duplicate name 'A' in TFieldDefs");
  EXPECT_EQ(FormatText(u"100%% %s %s", {UnicodeString(u"x")}), u"100% x %s");
}
