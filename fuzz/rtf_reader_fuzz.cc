// libFuzzer target for the RTF reader: any bytes must read without a crash,
// a hang or an out-of-bounds access, and the plain text must be valid UTF-8.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "rtf/plain_text.h"
#include "rtf/rtf_reader.h"
#include "runtime/utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  // Most inputs should take the RTF path; the plain-text path needs no fuzzing.
  const std::string rtf = rtf::IsRtf(input) ? std::string(input) : "{\\rtf1" + std::string(input);
  const rtf::Document document = rtf::ReadDocument(rtf);
  const std::string text = rtf::PlainText(document);
  if (ToUtf8(FromUtf8(text)) != text) std::abort();
  for (const rtf::Block& block : document.blocks)
    if (const auto* paragraph = std::get_if<rtf::Paragraph>(&block))
      for (const rtf::Inline& piece : paragraph->inlines)
        if (piece.kind == rtf::Inline::Kind::kPicture && piece.picture >= document.pictures.size()) std::abort();
  return 0;
}
