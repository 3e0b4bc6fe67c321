#include "host/descriptor_output.h"

#include <unistd.h>

#include <cerrno>

DescriptorOutput::Buffer::Buffer(int descriptor) : fd(descriptor) { setp(bytes, bytes + sizeof bytes); }

bool DescriptorOutput::Buffer::Drain() {
  const char* next = pbase();
  while (error == 0 && next < pptr()) {
    const ssize_t n = ::write(fd, next, static_cast<size_t>(pptr() - next));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) error = errno;
    else next += n;
  }
  setp(bytes, bytes + sizeof bytes);
  return error == 0;
}

DescriptorOutput::Buffer::int_type DescriptorOutput::Buffer::overflow(int_type c) {
  if (!Drain()) return traits_type::eof();
  if (!traits_type::eq_int_type(c, traits_type::eof())) {
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
  }
  return traits_type::not_eof(c);
}

int DescriptorOutput::Buffer::sync() { return Drain() ? 0 : -1; }

DescriptorOutput::DescriptorOutput(int fd) : std::ostream(nullptr), buffer_(fd) { rdbuf(&buffer_); }

DescriptorOutput::~DescriptorOutput() { buffer_.pubsync(); }
