// FieldSizes: the sizes given to detected columns that report none; an
// IntMap whose default is 64000.
#pragma once

#include "outline/int_map.h"

class FieldSizes : public IntMap {
 public:
  static constexpr int32_t kDefaultSize = 64000;
  FieldSizes() : IntMap(kDefaultSize) {}
};
