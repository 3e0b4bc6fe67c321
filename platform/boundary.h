// How an error leaves the module through one of its exported entry points.
//
// Every export runs its body through RunAtBoundary. On Linux the body simply
// runs and an error leaves as the C++ exception that reported it. On Windows
// a C++ exception cannot unwind out of the statically linked module into the
// host (the process would terminate), so the error is caught here, its
// message (UTF-8, the what() text) is copied into storage of the module, the
// C++ exception is released by leaving the handler, and a structured
// exception is raised in its place:
//
//   code        kBoundaryExceptionCode (0xE0417276)
//   flags       EXCEPTION_NONCONTINUABLE
//   arguments   [0] address of the message: zero-terminated UTF-8
//               [1] its length in bytes, without the zero
//
// The message stays readable until the module raises its next error or is
// unloaded. A host in any language catches it with its OS exception handling
// (__try/__except with GetExceptionInformation, a vectored or frame-based
// handler) and carries on: the module keeps working.
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>

// Facility-free application code: severity error, customer bit, then 'Arv'.
constexpr uint32_t kBoundaryExceptionCode = 0xE0417276u;
constexpr uint32_t kBoundaryExceptionArgumentCount = 2;
// Longest message carried, in bytes; longer ones are cut at a character boundary.
constexpr size_t kBoundaryMessageCapacity = 4095;

namespace boundary_detail {
// Copies the message into the module's storage; never fails.
void StoreMessage(const char* utf8Message) noexcept;
// Raises the structured exception for the stored message; never returns.
[[noreturn]] void RaiseStoredError();
}  // namespace boundary_detail

template <class Body>
int32_t RunAtBoundary(Body&& body) {
#if defined(_WIN32)
  try {
    return body();
  } catch (const std::exception& e) {
    boundary_detail::StoreMessage(e.what());
  } catch (...) {
    boundary_detail::StoreMessage("Unknown error");
  }
  // Raised after the handler has ended, so that the C++ exception object is
  // already gone when control passes to the host's handler.
  boundary_detail::RaiseStoredError();
#else
  return body();
#endif
}
