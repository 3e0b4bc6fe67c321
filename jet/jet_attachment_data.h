// The file an attachment's FileData holds, decoded.
//
// FileData (an OLE value of the attachment column's flat table) is, all
// numbers little-endian: a 4-byte flag (1: the rest is a zlib stream, 0: the
// rest is stored as it is), the 4-byte length of the decoded bytes, then the
// stream or the bytes. Decoded: a header of its own length (4 bytes), a
// 4-byte number (1), the extension's length in characters with its
// terminating 0 (4 bytes), the extension in UTF-16, and after the header the
// file's bytes. Access compresses files, already compressed ones too; other
// writers store some as they are.
//
// Untrusted bytes: a stated length is checked against `limit` before any
// memory is taken for it, and must equal what the data decodes to; the
// stream must end where the value ends.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/unicode_string.h"

struct JetAttachmentData {
  UnicodeString extension;  // as the header names it ("txt"), without the terminating 0
  std::string bytes;        // the file
};

// Decodes `stored`, the FileData of the attachment named `name` (for
// errors), whose decoded bytes may number at most `limit`. Raises EJetError
// "The data of attachment '...' is damaged: ..." with what was found: a
// value shorter than its 8 bytes of header, a flag other than 0 or 1, a
// stated length beyond `limit`, stored bytes or a stream that do not give
// exactly the stated length, or a decoded header that does not fit.
JetAttachmentData DecodeJetAttachmentData(std::string_view stored, const UnicodeString& name, uint64_t limit);
