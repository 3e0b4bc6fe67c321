// The reader's errors as the DAO server reports them: every damage jet/
// finds reaches the caller as an automation error with the same message.
#pragma once

#include "jet/jet_error.h"
#include "runtime/exceptions.h"

// Runs `f`; an EJetError it raises becomes EOleError with its message.
template <typename F>
auto WithDaoErrors(F&& f) {
  try {
    return f();
  } catch (const EJetError& e) {
    throw EOleError(e.Message());
  }
}
