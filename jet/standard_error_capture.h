// Keeps what a library writes to standard error (file descriptor 2) away
// from the process's own standard error for the lifetime of the object.
//
// libmdb reports problems with fprintf(stderr, ...) and offers no callback.
// Its calls run inside a capture; when a call fails, Text() gives what it
// wrote so the failure can carry it, and when nothing is wrong the text is
// dropped. The redirection is undone on every path (destructor). Captures
// may nest; only the outermost one redirects.
//
// The captured bytes go to one anonymous temporary file per process, which is
// reused and emptied only when something was written, so a capture around a
// call that writes nothing costs four system calls.
#pragma once

#include <string>

class StandardErrorCapture {
 public:
  StandardErrorCapture();
  ~StandardErrorCapture();
  StandardErrorCapture(const StandardErrorCapture&) = delete;
  StandardErrorCapture& operator=(const StandardErrorCapture&) = delete;

  // What was written to standard error since this capture began (trimmed of
  // the trailing line break); empty when the capture could not be set up.
  std::string Text() const;

 private:
  int savedFd_ = -1;  // the process's standard error while redirected
  bool outer_ = false;
};
