#include "runtime/string_list.h"

#include <gtest/gtest.h>

TEST(StringListTest, NamesAndValuesSplitAtTheFirstEquals) {
  TStringList list{u"TITLE=Title", u"Node Text=[[Node Text]]", u"Extra=", u"no separator", u"a=b=c"};
  struct Row { int32_t index; UnicodeString name, value; };
  const Row rows[] = {
      {0, u"TITLE", u"Title"},         {1, u"Node Text", u"[[Node Text]]"}, {2, u"Extra", u""},
      {3, u"", u""},                    {4, u"a", u"b=c"},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(list.Names(r.index), r.name) << r.index;
    EXPECT_EQ(list.ValueFromIndex(r.index), r.value) << r.index;
  }
}

TEST(StringListTest, LookUpsIgnoreCaseUnlessAsked) {
  TStringList list{u"Title=x", u"Body=y", u"title=second"};
  EXPECT_EQ(list.IndexOfName(u"TITLE"), 0);
  EXPECT_EQ(list.Values(u"body"), u"y");
  EXPECT_EQ(list.IndexOfName(u"missing"), -1);
  EXPECT_EQ(list.IndexOf(u"BODY=Y"), 1);
  list.SetCaseSensitive(true);
  EXPECT_EQ(list.IndexOfName(u"title"), 2);
  EXPECT_EQ(list.IndexOf(u"BODY=Y"), -1);
}

TEST(StringListTest, LineWithoutSeparatorHasNoName) {
  TStringList list{u"Title", u"=empty name"};
  EXPECT_EQ(list.IndexOfName(u"Title"), -1);
  EXPECT_EQ(list.IndexOfName(u""), 1);
}

TEST(StringListTest, SetValuesReplacesAppendsAndDeletes) {
  TStringList list{u"A=1", u"B=2"};
  list.SetValues(u"b", u"3");  // the line takes the name as given
  EXPECT_EQ(list.Strings(1), u"b=3");
  list.SetValues(u"C", u"4");
  EXPECT_EQ(list.Strings(2), u"C=4");
  list.SetValues(u"A", u"");
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Strings(0), u"b=3");
  list.SetValues(u"missing", u"");
  EXPECT_EQ(list.Count(), 2);
}

TEST(StringListTest, InsertDeleteAndBounds) {
  TStringList list;
  list.Add(u"b");
  list.Insert(0, u"a");
  list.Insert(2, u"c");
  EXPECT_EQ(list.Text(), u"a\r\nb\r\nc\r\n");
  list.Delete(1);
  EXPECT_EQ(list.Text(), u"a\r\nc\r\n");
  EXPECT_THROW(list.Strings(2), EStringListError);
  EXPECT_THROW(list.Insert(4, u"x"), EStringListError);
  try {
    list.Delete(-1);
    FAIL();
  } catch (const EStringListError& e) {
    EXPECT_EQ(e.Message(), u"List index out of bounds (-1)");
  }
}

TEST(StringListTest, SetTextSplitsAtEveryLineBreakKind) {
  TStringList list;
  list.SetText(u"one\r\ntwo\rthree\nfour");
  ASSERT_EQ(list.Count(), 4);
  EXPECT_EQ(list.Strings(3), u"four");
  list.SetText(u"x\r\n\r\n");
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Strings(1), u"");
}

TEST(StringListTest, AssignCopiesAndStaysIndependent) {
  TStringList a{u"A=1"};
  TStringList b;
  b.Assign(a);
  a.Add(u"B=2");
  EXPECT_EQ(b.Count(), 1);
  EXPECT_EQ(b.Values(u"A"), u"1");
  TPersistent other;
  EXPECT_THROW(b.Assign(other), EConvertError);
}

TEST(StringListTest, StaysInInsertionOrderUntilSorted) {
  TStringList list{u"b", u"C", u"a"};
  EXPECT_EQ(list.Strings(0), u"b");
  list.Sort();
  EXPECT_EQ(list.Text(), u"a\r\nb\r\nC\r\n");
}
