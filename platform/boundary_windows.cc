// The structured exception that carries an error out of the module on Windows.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "platform/boundary.h"
#include "runtime/utf8.h"

namespace {

// One message at a time: the host reads it after the exception has reached
// its handler, when nothing of the module's stack is left. Static storage
// needs no allocation, so even an out-of-memory error gets through.
char g_message[kBoundaryMessageCapacity + 1];
size_t g_length = 0;

}  // namespace

namespace boundary_detail {

void StoreMessage(const char* utf8Message) noexcept {
  if (!utf8Message) utf8Message = "";
  g_length = Utf8PrefixLength(utf8Message, kBoundaryMessageCapacity);
  std::memcpy(g_message, utf8Message, g_length);
  g_message[g_length] = '\0';
}

void RaiseStoredError() {
  ULONG_PTR arguments[kBoundaryExceptionArgumentCount] = {reinterpret_cast<ULONG_PTR>(g_message),
                                                          static_cast<ULONG_PTR>(g_length)};
  RaiseException(kBoundaryExceptionCode, EXCEPTION_NONCONTINUABLE, kBoundaryExceptionArgumentCount, arguments);
  // A host that tries to continue gets STATUS_NONCONTINUABLE_EXCEPTION from
  // the system; control never comes back here.
  std::abort();
}

}  // namespace boundary_detail
