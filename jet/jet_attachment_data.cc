#include "jet/jet_attachment_data.h"

#include <zlib.h>

#include "jet/jet_error.h"
#include "jet/jet_format.h"

namespace {

constexpr size_t kStoredHeader = 8;    // flag, decoded length
constexpr size_t kDecodedHeader = 12;  // header length, 1, extension length
constexpr uint32_t kStoredAsIs = 0;
constexpr uint32_t kCompressed = 1;

}  // namespace

JetAttachmentData DecodeJetAttachmentData(std::string_view stored, const UnicodeString& name, uint64_t limit) {
  auto damaged = [&](UnicodeStringView what, std::initializer_list<FormatArg> args = {}) {
    return EJetError(FormatText(u"The data of attachment '%s' is damaged: ", {name}) + FormatText(what, args) + u".");
  };
  if (stored.size() < kStoredHeader)
    throw damaged(u"it holds %d bytes, fewer than its header", {int64_t(stored.size())});
  const uint32_t flag = JetReadLE<uint32_t>(stored, 0);
  const uint32_t length = JetReadLE<uint32_t>(stored, 4);
  const std::string_view body = stored.substr(kStoredHeader);
  if (flag != kStoredAsIs && flag != kCompressed)
    throw damaged(u"it is stored in an unknown form (%d)", {int64_t(flag)});
  if (length > limit)
    throw damaged(u"it states %d bytes, more than the file can hold (%d)", {int64_t(length), int64_t(limit)});

  std::string decoded;
  if (flag == kStoredAsIs) {
    if (body.size() != length)
      throw damaged(u"it states %d bytes and holds %d", {int64_t(length), int64_t(body.size())});
    decoded.assign(body);
  } else {
    decoded.resize(length);
    uLongf decodedLength = length;
    uLong used = body.size();
    // One call: the stream must decode to exactly `length` bytes and end
    // with the value (zlib answers Z_BUF_ERROR when it would give more).
    const int status = uncompress2(reinterpret_cast<Bytef*>(decoded.data()), &decodedLength,
                                   reinterpret_cast<const Bytef*>(body.data()), &used);
    if (status != Z_OK || decodedLength != length || used != body.size())
      throw damaged(u"its compressed data does not decode to the %d bytes it states", {int64_t(length)});
  }

  if (decoded.size() < kDecodedHeader) throw damaged(u"its file header is cut short");
  const uint32_t headerLength = JetReadLE<uint32_t>(decoded, 0);
  const uint32_t extensionLength = JetReadLE<uint32_t>(decoded, 8);
  if (headerLength < kDecodedHeader || headerLength > decoded.size() ||
      extensionLength > (headerLength - kDecodedHeader) / 2)
    throw damaged(u"its file header does not fit its data");
  JetAttachmentData out;
  for (uint32_t i = 0; i < extensionLength; ++i) {
    const char16_t c = JetReadLE<char16_t>(decoded, kDecodedHeader + 2 * i);
    if (c == 0) break;
    out.extension.push_back(c);
  }
  decoded.erase(0, headerLength);
  out.bytes = std::move(decoded);
  return out;
}
