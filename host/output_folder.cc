#include "host/output_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace fs = std::filesystem;

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

}  // namespace

OutputFolder::OutputFolder(fs::path path) : fd_(open(path.c_str(), kFolderFlags)), path_(std::move(path)) {
  if (fd_ < 0) throw OutputError(path_, std::strerror(errno));
}

OutputFolder::~OutputFolder() {
  if (fd_ >= 0) close(fd_);
}

OutputFolder::OutputFolder(OutputFolder&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)) {}

OutputFolder& OutputFolder::operator=(OutputFolder&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) close(fd_);
    fd_ = std::exchange(other.fd_, -1);
    path_ = std::move(other.path_);
  }
  return *this;
}

void OutputFolder::Fail(const std::string& name, int error) const {
  throw OutputError(name.empty() ? path_ : path_ / name, std::strerror(error));
}

void OutputFolder::WriteFile(const std::string& name, std::string_view bytes) const {
  const int fd = openat(fd_, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) Fail(name, errno);
  for (size_t done = 0; done < bytes.size();) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const int error = errno;
      close(fd);
      Fail(name, error);
    }
    done += static_cast<size_t>(n);
  }
  if (close(fd) != 0) Fail(name, errno);
}

OutputFolder OutputFolder::MakeFolder(const std::string& name) const {
  if (mkdirat(fd_, name.c_str(), 0777) != 0) Fail(name, errno);
  const int fd = openat(fd_, name.c_str(), kFolderFlags);
  if (fd < 0) Fail(name, errno);
  return OutputFolder(fd, path_ / name);
}

OutputFolder OutputFolder::Parent() const {
  const int fd = openat(fd_, "..", kFolderFlags);
  if (fd < 0) Fail("..", errno);
  return OutputFolder(fd, path_.parent_path());
}

void OutputFolder::Rename(const std::string& from, const std::string& to) const {
  if (renameat(fd_, from.c_str(), fd_, to.c_str()) != 0) Fail(to, errno);
}
