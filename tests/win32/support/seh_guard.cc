#include "seh_guard.h"

#include <cstring>

namespace {

struct GuardFrame {
  EXCEPTION_REGISTRATION_RECORD registration;  // first: the chain points here
  void* resume[5];                             // __builtin_setjmp buffer
  CaughtException* caught;
};

extern "C" EXCEPTION_DISPOSITION __cdecl GuardHandler(EXCEPTION_RECORD* record, void* establisher, CONTEXT*, void*) {
  if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) return ExceptionContinueSearch;
  GuardFrame* frame = static_cast<GuardFrame*>(establisher);
  frame->caught->code = record->ExceptionCode;
  frame->caught->flags = record->ExceptionFlags;
  frame->caught->arguments.assign(record->ExceptionInformation,
                                  record->ExceptionInformation + record->NumberParameters);
  // Unwind the frames between the raise and this one, then resume.
  RtlUnwind(establisher, nullptr, record, nullptr);
  __builtin_longjmp(frame->resume, 1);
}

// The thread information block, whose first word heads the exception chain.
NT_TIB* Tib() {
  NT_TIB* tib;
  asm volatile("movl %%fs:0x18, %0" : "=r"(tib));
  return tib;
}

}  // namespace

// noinline: the setjmp buffer must belong to a frame that is alive while the
// call runs, and the registration must be removed by the same frame.
__attribute__((noinline)) bool RunGuarded(void (*call)(void*), void* context, CaughtException& caught) {
  GuardFrame frame;
  frame.caught = &caught;
  frame.registration.Handler = reinterpret_cast<PEXCEPTION_ROUTINE>(GuardHandler);
  frame.registration.Next = Tib()->ExceptionList;
  Tib()->ExceptionList = &frame.registration;
  if (__builtin_setjmp(frame.resume) == 0) {
    call(context);
    Tib()->ExceptionList = frame.registration.Next;
    return true;
  }
  Tib()->ExceptionList = frame.registration.Next;
  return false;
}

std::string BoundaryMessage(const CaughtException& caught, bool& valid) {
  valid = false;
  if (caught.arguments.size() != 2 || caught.arguments[0] == 0) return std::string();
  const char* text = reinterpret_cast<const char*>(caught.arguments[0]);
  size_t length = caught.arguments[1];
  valid = std::strlen(text) == length;
  return std::string(text, length);
}
