// DocumentRecord: writes one document into the host's document record.
//
// Holds the record's address for one ImportDocument call only; the record
// and every content buffer belong to the host. All access goes by byte
// offset, since the content pointer's offset is fixed while its width
// follows the build (a struct would pad it on 64-bit builds).
#pragma once

#include <cstdint>
#include <string>

#include "plugin/arvoline_plugin.h"

class DocumentRecord {
 public:
  explicit DocumentRecord(void* record) : record_(static_cast<unsigned char*>(record)) {}

  void WriteLevel(int32_t level);
  // Writes the UTF-8 title with its zero. A title that does not fit before
  // the content pointer is cut at the last UTF-8 character boundary that
  // leaves room for the zero.
  void WriteTitle(const std::string& utf8Title);
  // Asks the host's allocator for a buffer of utf8Content.size() + 1 bytes
  // and copies the content, up to its first zero byte, with a zero. Nothing
  // is written when the host leaves the content pointer null.
  void DeliverContent(const std::string& utf8Content, ContentAllocator allocator);

 private:
  unsigned char* record_;
};
