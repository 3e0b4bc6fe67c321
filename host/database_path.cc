#include "host/database_path.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "host/host_error.h"

void CheckDatabasePath(const std::string& path) {
  auto fail = [&](const char* reason) { throw HostError(path + ": " + reason); };
  struct stat st;
  if (stat(path.c_str(), &st) != 0) fail(std::strerror(errno));
  if (S_ISDIR(st.st_mode)) fail(std::strerror(EISDIR));
  if (!S_ISREG(st.st_mode)) fail("Not a regular file");
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) fail(std::strerror(errno));
  close(fd);
}
