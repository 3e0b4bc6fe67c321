#include "dataset/field_value.h"

int FieldValue::Compare(const FieldValue& a, const FieldValue& b) {
  if (a.v_.index() != b.v_.index()) return a.v_.index() < b.v_.index() ? -1 : 1;
  switch (a.v_.index()) {
    case 1: {
      int64_t x = a.AsInt(), y = b.AsInt();
      return x < y ? -1 : (x > y ? 1 : 0);
    }
    case 2: {
      double x = a.AsFloat(), y = b.AsFloat();
      return x < y ? -1 : (x > y ? 1 : 0);
    }
    case 3: {
      // std::string compares as unsigned bytes (char_traits<char>::lt).
      int c = a.AsBytes().compare(b.AsBytes());
      return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    default: return 0;
  }
}
