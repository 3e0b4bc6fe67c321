#include "jet/standard_error_capture.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

namespace {

int depth = 0;

// The per-process sink; -1 when no temporary file could be made, in which
// case nothing is redirected.
int SinkFd() {
  static int fd = [] {
    FILE* f = std::tmpfile();
    if (!f) return -1;
    int d = dup(fileno(f));
    std::fclose(f);
    if (d >= 0) fcntl(d, F_SETFD, FD_CLOEXEC);
    return d;
  }();
  return fd;
}

off_t SinkSize() {
  struct stat st;
  if (fstat(SinkFd(), &st) != 0) return 0;
  return st.st_size;
}

}  // namespace

StandardErrorCapture::StandardErrorCapture() {
  if (depth++ > 0) return;
  int sink = SinkFd();
  if (sink < 0) return;
  std::fflush(stderr);
  savedFd_ = fcntl(2, F_DUPFD_CLOEXEC, 3);
  if (savedFd_ < 0) return;
  if (SinkSize() != 0) {
    if (ftruncate(sink, 0) != 0) {}
    lseek(sink, 0, SEEK_SET);
  }
  if (dup2(sink, 2) < 0) {
    close(savedFd_);
    savedFd_ = -1;
    return;
  }
  outer_ = true;
}

StandardErrorCapture::~StandardErrorCapture() {
  --depth;
  if (!outer_) return;
  std::fflush(stderr);
  dup2(savedFd_, 2);
  close(savedFd_);
}

std::string StandardErrorCapture::Text() const {
  if (!outer_) return std::string();
  std::fflush(stderr);
  int sink = SinkFd();
  off_t size = SinkSize();
  std::string text(static_cast<size_t>(size), '\0');
  ssize_t n = pread(sink, text.data(), text.size(), 0);
  text.resize(n > 0 ? static_cast<size_t>(n) : 0);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}
