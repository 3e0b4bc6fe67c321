// Catching a structured (OS) exception in a 32-bit GCC program, the way a
// host's __try/__except does: a frame-based handler registered on the
// thread's exception chain, which unwinds the frames above it (RtlUnwind)
// and resumes after the guarded call.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

struct CaughtException {
  DWORD code = 0;
  DWORD flags = 0;
  std::vector<ULONG_PTR> arguments;
};

// Runs `call(context)`. True when it returned; false when a structured
// exception ended it, with the exception's code, flags and arguments in
// `caught` (read while the exception was being handled).
bool RunGuarded(void (*call)(void* context), void* context, CaughtException& caught);

template <class F>
bool RunGuarded(F& function, CaughtException& caught) {
  return RunGuarded([](void* c) { (*static_cast<F*>(c))(); }, &function, caught);
}

// The message of the module's boundary exception: argument 0 points at
// zero-terminated UTF-8, argument 1 is its length. Empty with `valid` false
// when the arguments do not describe such a text.
std::string BoundaryMessage(const CaughtException& caught, bool& valid);
