// DescriptorOutput: a std::ostream writing to a file descriptor that keeps
// the operating system's reason for the first failed write. std::ofstream
// reports that a write failed but not why, and an export must say why
// ("No space left on device").
//
// Buffers 64 KiB; flushed by flush() and on destruction. Does not own the
// descriptor.
#pragma once

#include <ostream>
#include <streambuf>

class DescriptorOutput : public std::ostream {
 public:
  explicit DescriptorOutput(int fd);
  ~DescriptorOutput() override;

  // errno of the first failed write; 0 while none failed.
  int Error() const { return buffer_.error; }

 private:
  struct Buffer : std::streambuf {
    explicit Buffer(int fd);
    int_type overflow(int_type c) override;
    int sync() override;
    bool Drain();

    int fd;
    int error = 0;
    char bytes[64 * 1024];
  };
  Buffer buffer_;
};
