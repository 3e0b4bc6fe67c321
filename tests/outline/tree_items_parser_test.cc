#include "outline/tree_items_parser.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/code_page.h"
#include "runtime/exceptions.h"
#include "tests/outline/outline_text.h"
#include "tests/outline/tree_item_printer.h"

namespace {

using outline_text::Entry;

std::vector<TreeItem> Items(const TreeItemsCollection& collection) {
  std::vector<TreeItem> items;
  for (int32_t i = 0; i < collection.Count(); ++i) items.push_back(collection.Item(i));
  return items;
}

// The items of a parse; a walk over the same text (or over its code-page
// form) must hand over the same, and a walk over the keys their keys.
std::vector<TreeItem> Parse(const UnicodeString& text) {
  TreeItemsCollection collection;
  TreeItemsParser().Parse(text, collection);
  std::vector<TreeItem> walked, walkedAnsi;
  TreeItemsParser().Walk(text, [&](TreeItem&& item) { walked.push_back(std::move(item)); });
  EXPECT_EQ(walked, Items(collection));
  TreeItemsParser().WalkAnsi(ToAnsi(text), [&](TreeItem&& item) { walkedAnsi.push_back(std::move(item)); });
  EXPECT_EQ(walkedAnsi, walked);
  std::vector<UnicodeString> keys, expectedKeys;
  TreeItemsParser().WalkKeys(text, [&](UnicodeString&& key) { keys.push_back(std::move(key)); });
  for (const TreeItem& item : walked) expectedKeys.push_back(item.key);
  EXPECT_EQ(keys, expectedKeys);
  return Items(collection);
}

class TreeItemsParserTest : public ::testing::Test {
 protected:
  ScopedActiveCodePage codePage_{1252};
};

TEST_F(TreeItemsParserTest, ReadsTheExampleOutlineInTextOrder) {
  UnicodeString text = u"04Root02A1005First123456789"
                       u"02A102B2003Two123456789"
                       u"02B202C3005Three123456789";
  EXPECT_EQ(Parse(text), (std::vector<TreeItem>{{u"A1", 0, u"First"}, {u"B2", 1, u"Two"}, {u"C3", 2, u"Three"}}));
}

TEST_F(TreeItemsParserTest, TextsOfAtMostTwoBytesHoldNoEntry) {
  for (UnicodeString text : {u"", u"0", u"04"}) EXPECT_TRUE(Parse(text).empty());
}

struct LevelCase {
  const char* name;
  UnicodeString text;
  std::vector<TreeItem> expected;
};

TEST_F(TreeItemsParserTest, LevelsFollowTheParentKeysInTextOrder) {
  const LevelCase cases[] = {
      {"root in lower case is an ordinary key", Entry(u"root", u"A", u"a"), {{u"A", 1, u"a"}}},
      {"ROOT in upper case is an ordinary key", Entry(u"ROOT", u"A", u"a"), {{u"A", 1, u"a"}}},
      {"unknown parent gives level 1", Entry(u"Root", u"A", u"a") + Entry(u"Z", u"B", u"b"),
       {{u"A", 0, u"a"}, {u"B", 1, u"b"}}},
      {"parent listed later gives level 1 and is not revised",
       Entry(u"Root", u"A", u"a") + Entry(u"C", u"B", u"b") + Entry(u"A", u"C", u"c"),
       {{u"A", 0, u"a"}, {u"B", 1, u"b"}, {u"C", 1, u"c"}}},
      {"a repeated key: later entries see the latest level",
       Entry(u"Root", u"A", u"a") + Entry(u"A", u"B", u"b") + Entry(u"B", u"A", u"a2") + Entry(u"A", u"D", u"d"),
       {{u"A", 0, u"a"}, {u"B", 1, u"b"}, {u"A", 2, u"a2"}, {u"D", 3, u"d"}}},
      {"an entry that is its own parent, first time", Entry(u"S", u"S", u"s") + Entry(u"S", u"T", u"t"),
       {{u"S", 1, u"s"}, {u"T", 2, u"t"}}},
      {"an entry that is its own parent takes the earlier level",
       Entry(u"Root", u"A", u"a") + Entry(u"A", u"S", u"s") + Entry(u"S", u"S", u"s2") + Entry(u"S", u"T", u"t"),
       {{u"A", 0, u"a"}, {u"S", 1, u"s"}, {u"S", 2, u"s2"}, {u"T", 3, u"t"}}},
      {"an empty parent key is an ordinary key", Entry(u"", u"A", u"a"), {{u"A", 1, u"a"}}},
      {"an empty parent key finds an entry with an empty key",
       Entry(u"Root", u"", u"nameless") + Entry(u"", u"A", u"a"), {{u"", 0, u"nameless"}, {u"A", 1, u"a"}}},
      {"siblings share a level, also after a deeper entry",
       Entry(u"Root", u"A", u"a") + Entry(u"A", u"B", u"b") + Entry(u"A", u"C", u"c") + Entry(u"C", u"D", u"d") +
           Entry(u"A", u"E", u"e") + Entry(u"B", u"F", u"f"),
       {{u"A", 0, u"a"}, {u"B", 1, u"b"}, {u"C", 1, u"c"}, {u"D", 2, u"d"}, {u"E", 1, u"e"}, {u"F", 2, u"f"}}},
      {"levels may jump back to the root", Entry(u"Root", u"A", u"a") + Entry(u"A", u"B", u"b") + Entry(u"Root", u"C", u"c"),
       {{u"A", 0, u"a"}, {u"B", 1, u"b"}, {u"C", 0, u"c"}}},
  };
  for (const LevelCase& c : cases) EXPECT_EQ(Parse(c.text), c.expected) << c.name;
}

struct LengthCase {
  const char* name;
  UnicodeString text;
  TreeItem expected;
};

TEST_F(TreeItemsParserTest, LengthFieldsUseTheRuntimeIntegerRules) {
  const LengthCase cases[] = {
      {"leading space", u"04Root 1A005First123456789", {u"A", 0, u"First"}},
      {"leading spaces and zeros", u"04Root01A  5First123456789", {u"A", 0, u"First"}},
      {"plus sign", u"04Root+1A005First123456789", {u"A", 0, u"First"}},
      {"hexadecimal with $", u"04Root$2AB$05First123456789", {u"AB", 0, u"First"}},
      {"hexadecimal with x", u"04Rootx1Ax05First123456789", {u"A", 0, u"First"}},
      {"zero length key and title", u"04Root00000123456789", {u"", 0, u""}},
  };
  for (const LengthCase& c : cases) EXPECT_EQ(Parse(c.text), std::vector<TreeItem>{c.expected}) << c.name;
}

struct ErrorCase {
  const char* name;
  UnicodeString text;
  std::string message;
  size_t itemsBefore;
};

TEST_F(TreeItemsParserTest, MalformedLengthFieldsEndTheParseKeepingEarlierItems) {
  const UnicodeString good = Entry(u"Root", u"A", u"a");
  const ErrorCase cases[] = {
      {"trailing space", u"5 Root", "''5 '' is not a valid integer value", 0},
      {"letters", good + u"abc", "''ab'' is not a valid integer value", 1},
      {"a digit and a letter", good + u"1abc", "''1a'' is not a valid integer value", 1},
      {"negative length", good + u"-1xx", "Invalid count (-1)", 1},
      {"negative title length", u"04Root01A-01", "Invalid count (-1)", 0},
      {"negative parent key length", u"-1Root01A001a", "Invalid count (-1)", 0},
      {"three bytes are read as an entry", good + u"04R", "'''' is not a valid integer value", 1},
      {"a key length field of one blank", u"04Root ", "'' '' is not a valid integer value", 0},
      {"text ends before the title length field", good + good + u"04Root02A1", "'''' is not a valid integer value", 2},
  };
  for (const ErrorCase& c : cases) {
    TreeItemsCollection collection;
    size_t walked = 0, walkedAnsi = 0, keys = 0;
    for (const int way : {0, 1, 2, 3}) {
      try {
        if (way == 0) TreeItemsParser().Parse(c.text, collection);
        if (way == 1) TreeItemsParser().Walk(c.text, [&](TreeItem&&) { ++walked; });
        if (way == 2) TreeItemsParser().WalkKeys(c.text, [&](UnicodeString&&) { ++keys; });
        if (way == 3) TreeItemsParser().WalkAnsi(ToAnsi(c.text), [&](TreeItem&&) { ++walkedAnsi; });
        ADD_FAILURE() << c.name << ": no error";
      } catch (const EConvertError& e) {
        EXPECT_EQ(e.what(), c.message) << c.name;
      } catch (const EEncodingError& e) {
        EXPECT_EQ(e.what(), c.message) << c.name;
      }
    }
    EXPECT_EQ(static_cast<size_t>(collection.Count()), c.itemsBefore) << c.name;
    EXPECT_EQ(walked, c.itemsBefore) << c.name;
    EXPECT_EQ(walkedAnsi, c.itemsBefore) << c.name;
    EXPECT_EQ(keys, c.itemsBefore) << c.name;
  }
}

TEST_F(TreeItemsParserTest, TheEndOfTheTextCutsTheLastEntryShort) {
  const UnicodeString first = Entry(u"Root", u"A", u"a");
  struct Case {
    const char* name;
    UnicodeString text;
    std::vector<TreeItem> expected;
  } cases[] = {
      {"one extra byte is ignored", first + u"x", {{u"A", 0, u"a"}}},
      {"two extra bytes are ignored", first + u"xy", {{u"A", 0, u"a"}}},
      {"no trailing nine bytes", u"04Root01A001a", {{u"A", 0, u"a"}}},
      {"four of nine trailing bytes", u"04Root01A001a1234", {{u"A", 0, u"a"}}},
      {"title cut short", u"04Root01A010abc", {{u"A", 0, u"abc"}}},
      {"title cut to nothing", u"04Root01A010", {{u"A", 0, u""}}},
      {"title length field cut to one digit", u"04Root01A5", {{u"A", 0, u""}}},
      {"same behaviour after a full entry", first + u"04Root01B010bc", {{u"A", 0, u"a"}, {u"B", 0, u"bc"}}},
  };
  for (const Case& c : cases) EXPECT_EQ(Parse(c.text), c.expected) << c.name;
}

TEST_F(TreeItemsParserTest, LengthsCountBytesOfTheActiveCodePage) {
  // In 1252 every character is one byte; a character the page lacks arrives
  // as its default character.
  UnicodeString text = u"04Root02K\u00C4006\u00DCber \u0416123456789" + Entry(u"K\u00C4", u"K2", u"\u20AC5");
  EXPECT_EQ(Parse(text), (std::vector<TreeItem>{{u"K\u00C4", 0, u"\u00DCber ?"}, {u"K2", 1, u"\u20AC5"}}));
}

TEST(TreeItemsParserCodePage, DoubleByteCharactersCountTwoBytes) {
  ScopedActiveCodePage codePage(932);
  UnicodeString title = u"\u65E5\u672C\u8A9E";  // three characters, six bytes
  ASSERT_EQ(WideToMultiByte(932, title).size(), 6u);
  UnicodeString text = Entry(u"Root", u"A", title) + Entry(u"A", u"\u30AD", u"x");
  EXPECT_EQ(text.substr(9, 3), u"006");
  EXPECT_EQ(Parse(text), (std::vector<TreeItem>{{u"A", 0, title}, {u"\u30AD", 1, u"x"}}));
}

TEST(TreeItemsParserCodePage, TheSameTextCutsDifferentlyUnderAnotherCodePage) {
  // Byte counts written for 1252 put the field boundaries elsewhere when the
  // text is read as UTF-8: the code page decides how entries are cut.
  UnicodeString text = u"04Root01A002\u00C4\u00C4123456789";
  {
    ScopedActiveCodePage codePage(1252);
    EXPECT_EQ(Parse(text), (std::vector<TreeItem>{{u"A", 0, u"\u00C4\u00C4"}}));
  }
  {
    ScopedActiveCodePage codePage(kCodePageUtf8);
    EXPECT_EQ(Parse(text), (std::vector<TreeItem>{{u"A", 0, u"\u00C4"}}));
  }
}

TEST_F(TreeItemsParserTest, ParsesLargeOutlinesWithDeepChains) {
  UnicodeString text = Entry(u"Root", u"K0", u"t");
  for (int i = 1; i < 2000; ++i) {
    UnicodeString parent = u"K" + AsciiToUnicode(std::to_string(i - 1));
    text += Entry(parent, u"K" + AsciiToUnicode(std::to_string(i)), u"t");
  }
  std::vector<TreeItem> items = Parse(text);
  ASSERT_EQ(items.size(), 2000u);
  for (int i = 0; i < 2000; ++i) EXPECT_EQ(items[i].level, i);
}

}  // namespace
