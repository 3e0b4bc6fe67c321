#include "tools/accessdb/jet_format.h"

namespace accessdb {

const JetFormat& FormatConstants(Format format) {
  static const JetFormat kJet3{Format::kJet3, 2048, 8, 2012, 2032, 133, 33, 43, 18, 1};
  static const JetFormat kJet4{Format::kJet4, 4096, 12, 4060, 4076, 69, 17, 63, 25, 2};
  return format == Format::kJet4 ? kJet4 : kJet3;
}

}  // namespace accessdb
