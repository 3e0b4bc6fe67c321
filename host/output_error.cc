#include "host/output_error.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

void WriteWholeFile(const std::filesystem::path& path, const std::string& bytes) {
  auto fail = [&] { throw OutputError(path, std::strerror(errno)); };
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) fail();
  for (size_t done = 0; done < bytes.size();) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const int error = errno;
      close(fd);
      errno = error;
      fail();
    }
    done += static_cast<size_t>(n);
  }
  if (close(fd) != 0) fail();
}
