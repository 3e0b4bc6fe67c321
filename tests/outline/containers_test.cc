// TreeItemsCollection, Queue<TreeItem>, IntMap and FieldSizes.
#include <gtest/gtest.h>

#include <string>
#include <type_traits>

#include "outline/field_sizes.h"
#include "outline/int_map.h"
#include "outline/queue.h"
#include "outline/tree_items_collection.h"
#include "runtime/exceptions.h"
#include "tests/outline/tree_item_printer.h"

namespace {

TEST(TreeItemsCollection, KeepsCopiesInInsertionOrder) {
  TreeItemsCollection collection;
  EXPECT_EQ(collection.Count(), 0);
  TreeItem item{u"K1", 0, u"one"};
  collection.Add(item);
  item.title = u"changed after Add";
  collection.Add(TreeItem{u"K2", 3, u"two"});
  ASSERT_EQ(collection.Count(), 2);
  EXPECT_EQ(collection.Item(0), (TreeItem{u"K1", 0, u"one"}));
  EXPECT_EQ(collection.Item(1), (TreeItem{u"K2", 3, u"two"}));
  TreeItem copy = collection.Item(0);
  copy.key = u"other";
  EXPECT_EQ(collection.Item(0).key, u"K1");
}

TEST(TreeItemsCollection, IndexOutsideTheItemsIsARangeError) {
  TreeItemsCollection collection;
  collection.Add(TreeItem{u"K", 0, u"t"});
  for (int32_t index : {-1, 1, 2, INT32_MIN, INT32_MAX}) {
    try {
      collection.Item(index);
      ADD_FAILURE() << "no error for index " << index;
    } catch (const ERangeError& e) {
      EXPECT_STREQ(e.what(), "Requested tree item is out of bounds");
    }
  }
  EXPECT_EQ(collection.Count(), 1);
  EXPECT_THROW(TreeItemsCollection().Item(0), ERangeError);
}

TEST(Queue, ServesItemsFirstInFirstOut) {
  Queue<TreeItem> queue;
  EXPECT_TRUE(queue.IsEmpty());
  queue.Push(TreeItem{u"A", 0, u"a"});
  queue.Push(TreeItem{u"B", 1, u"b"});
  queue.Push(TreeItem{u"A", 0, u"a"});
  EXPECT_FALSE(queue.IsEmpty());
  EXPECT_EQ(queue.Pop(), (TreeItem{u"A", 0, u"a"}));
  EXPECT_EQ(queue.Pop(), (TreeItem{u"B", 1, u"b"}));
  EXPECT_EQ(queue.Pop(), (TreeItem{u"A", 0, u"a"}));
  EXPECT_TRUE(queue.IsEmpty());
}

TEST(Queue, PopOnAnEmptyQueueRaisesReadEmptyQueueAndChangesNothing) {
  static_assert(std::is_base_of_v<std::exception, Queue<TreeItem>::ReadEmptyQueue>);
  static_assert(!std::is_base_of_v<Exception, Queue<TreeItem>::ReadEmptyQueue>);
  Queue<TreeItem> queue;
  try {
    queue.Pop();
    FAIL() << "no error";
  } catch (const Queue<TreeItem>::ReadEmptyQueue& e) {
    EXPECT_STREQ(e.what(), "read empty queue");
  }
  EXPECT_TRUE(queue.IsEmpty());
  queue.Push(TreeItem{u"A", 0, u"a"});
  EXPECT_EQ(queue.Pop().key, u"A");
  EXPECT_THROW(queue.Pop(), Queue<TreeItem>::ReadEmptyQueue);
}

TEST(IntMap, AnswersTheDefaultForAbsentKeysWithoutStoringThem) {
  IntMap map(0);
  for (UnicodeString key : {u"", u"x", u"Root"}) EXPECT_EQ(map.Get(key), 0);
  map.Set(u"x", 5);
  EXPECT_EQ(map.Get(u"x"), 5);
  EXPECT_EQ(map.Get(u"y"), 0);
  EXPECT_EQ(map.Get(u"y"), 0);

  IntMap negative(-7);
  EXPECT_EQ(negative.Get(u"anything"), -7);
}

TEST(IntMap, SetStoresAndReplaces) {
  struct Step {
    UnicodeString key;
    int32_t value;
  };
  IntMap map(64000);
  const Step steps[] = {{u"a", 1}, {u"A", 2}, {u"a", 3}, {u"", 4}, {u"zero", 0}, {u"a\u00E9", INT32_MIN}, {u"a\u00C9", INT32_MAX}};
  for (const Step& s : steps) map.Set(s.key, s.value);
  EXPECT_EQ(map.Get(u"a"), 3);        // the second value wins
  EXPECT_EQ(map.Get(u"A"), 2);        // letter case makes another key
  EXPECT_EQ(map.Get(u""), 4);         // the empty key is a key like any other
  EXPECT_EQ(map.Get(u"zero"), 0);     // a stored 0 is not the default
  EXPECT_EQ(map.Get(u"a\u00E9"), INT32_MIN);
  EXPECT_EQ(map.Get(u"a\u00C9"), INT32_MAX);
  EXPECT_EQ(map.Get(u"a "), 64000);   // no trimming
  EXPECT_EQ(map.Get(UnicodeString(u"a\0", 2)), 64000);
}

TEST(IntMap, HoldsManyKeysAsItGrows) {
  // Far more keys than the table starts with, each stored twice: every key
  // keeps its own latest value, and keys never stored still get the default.
  IntMap map(-1);
  const int32_t count = 20000;
  for (int round = 0; round < 2; ++round)
    for (int32_t i = 0; i < count; ++i) map.Set(u"K" + AsciiToUnicode(std::to_string(i)), i * 2 + round);
  for (int32_t i = 0; i < count; ++i) ASSERT_EQ(map.Get(u"K" + AsciiToUnicode(std::to_string(i))), i * 2 + 1) << i;
  for (int32_t i = count; i < count + 100; ++i) EXPECT_EQ(map.Get(u"K" + AsciiToUnicode(std::to_string(i))), -1);
  EXPECT_EQ(map.Get(u"K"), -1);
}

TEST(IntMap, KeysAreWholeCodeUnitSequences) {
  // Keys that share a prefix, embedded zeros, and code units above the
  // surrogate range must all stay distinct.
  IntMap map(-1);
  const UnicodeString keys[] = {u"ab", UnicodeString(u"ab\0", 3), u"abc", u"\uFFFF", u"\U00010000", u"\u00E9"};
  int32_t value = 0;
  for (const UnicodeString& k : keys) map.Set(k, value++);
  value = 0;
  for (const UnicodeString& k : keys) EXPECT_EQ(map.Get(k), value++);
}

TEST(FieldSizes, AnswersSixtyFourThousandUntilSet) {
  FieldSizes sizes;
  EXPECT_EQ(sizes.Get(u"NodeTextRTFValue"), 64000);
  EXPECT_EQ(sizes.Get(u""), 64000);
  sizes.Set(u"Memo", 0);
  EXPECT_EQ(sizes.Get(u"Memo"), 0);
  EXPECT_EQ(sizes.Get(u"memo"), 64000);
}

}  // namespace
