#include "dataset/field_value.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

// Bytes just inside, at and beyond the inline limit behave alike.
const std::string kShort = "key";
const std::string kAtLimit(FieldValue::kInlineBytes, 'k');
const std::string kLong(FieldValue::kInlineBytes + 1, 'k');
const std::string kHighByte = "k\xE9";  // sorts after "kz" as an unsigned byte

TEST(FieldValue, OrderAndEquality) {
  struct Row {
    const char* name;
    FieldValue a, b;
    int order;
  } rows[] = {
      {"null before every form", FieldValue::Null(), FieldValue::Int(-5), -1},
      {"null equals null", FieldValue::Null(), FieldValue::Null(), 0},
      {"integers numerically", FieldValue::Int(-2), FieldValue::Int(1), -1},
      {"floats numerically", FieldValue::Float(2.5), FieldValue::Float(-1.0), 1},
      {"integer before float", FieldValue::Int(100), FieldValue::Float(1.0), -1},
      {"float before bytes", FieldValue::Float(1.0), FieldValue::Bytes(""), -1},
      {"empty bytes", FieldValue::Bytes(""), FieldValue::Bytes(""), 0},
      {"inline bytes equal", FieldValue::Bytes(kShort), FieldValue::Bytes(kShort), 0},
      {"bytes at the inline limit", FieldValue::Bytes(kAtLimit), FieldValue::Bytes(kAtLimit), 0},
      {"shorter prefix first across the limit", FieldValue::Bytes(kAtLimit), FieldValue::Bytes(kLong), -1},
      {"long bytes equal", FieldValue::Bytes(kLong), FieldValue::Bytes(kLong), 0},
      {"unsigned bytes", FieldValue::Bytes(kHighByte), FieldValue::Bytes("kz"), 1},
      {"embedded zero byte counts", FieldValue::Bytes(std::string("a\0b", 3)), FieldValue::Bytes("a"), 1},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(FieldValue::Compare(r.a, r.b), r.order) << r.name;
    EXPECT_EQ(FieldValue::Compare(r.b, r.a), -r.order) << r.name;
    EXPECT_EQ(r.a == r.b, r.order == 0) << r.name;
  }
}

TEST(FieldValue, CopiesAndMovesKeepTheBytes) {
  for (const std::string& bytes : {kShort, kAtLimit, kLong, std::string(100000, 'x')}) {
    FieldValue original = FieldValue::Bytes(bytes);
    FieldValue copy = original;
    FieldValue assigned = FieldValue::Int(7);
    assigned = copy;
    FieldValue moved = std::move(copy);
    EXPECT_EQ(original.AsBytes(), bytes);
    EXPECT_EQ(assigned.AsBytes(), bytes);
    EXPECT_EQ(moved.AsBytes(), bytes);
    EXPECT_TRUE(copy.IsNull());  // NOLINT(bugprone-use-after-move): a moved-from value is null
    assigned = FieldValue::Float(1.5);
    EXPECT_EQ(assigned.AsFloat(), 1.5);
    EXPECT_EQ(original.AsBytes(), bytes);  // copies share nothing
  }
}

}  // namespace
