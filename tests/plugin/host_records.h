// Host-side stand-ins for the tests: the two records as byte arrays, and a
// content allocator that records its calls.
#pragma once

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "plugin/arvoline_plugin.h"

namespace host_records {

struct Document;

// Which Document a record address belongs to, for the allocator.
inline std::map<const void*, Document*>& Documents() {
  static std::map<const void*, Document*> documents;
  return documents;
}

// A document record and what the allocator saw and handed out for it.
struct Document {
  alignas(8) unsigned char record[ARVOLINE_DOCUMENT_RECORD_SIZE];
  std::vector<std::vector<int32_t>> allocatorCalls;
  std::vector<unsigned char> buffer;
  bool leaveContentPointerNull = false;

  explicit Document(unsigned char fill = 0xFF) {
    std::memset(record, fill, sizeof record);
    Documents()[record] = this;
  }
  ~Document() { Documents().erase(record); }
  Document(const Document&) = delete;
  Document& operator=(const Document&) = delete;

  int32_t Level() const {
    int32_t level;
    std::memcpy(&level, record + kDocumentLevelOffset, sizeof level);
    return level;
  }
  std::string Title() const {
    const char* title = reinterpret_cast<const char*>(record + kDocumentTitleOffset);
    return std::string(title, strnlen(title, kDocumentTitleRoom));
  }
  void* ContentPointer() const {
    void* p;
    std::memcpy(&p, record + kDocumentContentPointerOffset, sizeof p);
    return p;
  }
  void SetContentPointer(void* p) { std::memcpy(record + kDocumentContentPointerOffset, &p, sizeof p); }
  // The buffer's text up to its first zero.
  std::string Content() const {
    if (buffer.empty()) return std::string();
    const char* text = reinterpret_cast<const char*>(buffer.data());
    return std::string(text, strnlen(text, buffer.size()));
  }
};

inline int32_t ARVOLINE_STDCALL Allocate(void* documentRecord, int32_t one, int32_t byteLength) {
  Document* document = Documents().at(documentRecord);
  document->allocatorCalls.push_back({one, byteLength});
  // Filled with 0xEE so that a missing terminator shows.
  document->buffer.assign(static_cast<size_t>(byteLength) + 1, 0xEE);
  document->SetContentPointer(document->leaveContentPointerNull ? nullptr : document->buffer.data());
  return 12345;
}

}  // namespace host_records
