// libFuzzer target: an attachment's stored FileData, decoded. Any input
// either decodes or raises EJetError; what it decodes to never exceeds the
// limit given, however large the length the input states.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "jet/jet_attachment_data.h"
#include "jet/jet_error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A limit of the order a file of this size allows, and small enough that
  // a stated length past it is met often.
  const uint64_t limit = 16 * static_cast<uint64_t>(size) + 64;
  try {
    const JetAttachmentData d =
        DecodeJetAttachmentData(std::string_view(reinterpret_cast<const char*>(data), size), u"fuzz", limit);
    if (d.bytes.size() > limit) std::abort();
  } catch (const EJetError&) {
  }
  return 0;
}
