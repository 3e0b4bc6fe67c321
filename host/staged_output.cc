#include "host/staged_output.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <system_error>

#include "host/host_error.h"

namespace fs = std::filesystem;

namespace {

constexpr int kMaxLinks = 40;  // as the kernel follows at most 40 links

// `path` with symbolic links followed to the path they name, which need not
// exist: a dangling link is written through as well.
fs::path ThroughLinks(fs::path path) {
  for (int hops = 0; hops < kMaxLinks; ++hops) {
    std::error_code error;
    if (!fs::is_symlink(fs::symlink_status(path, error))) return path;
    const fs::path target = fs::read_symlink(path, error);
    if (error) return path;
    path = target.is_absolute() ? target : path.parent_path() / target;
  }
  return path;  // a loop of links: creating the partial beside it reports it
}

// `path` without trailing separators ("notes/" is the folder "notes").
fs::path WithoutTrailingSeparators(fs::path path) {
  while (!path.has_filename() && path.has_relative_path()) path = path.parent_path();
  return path;
}

std::string PartialPrefix(const fs::path& finalPath) { return "." + finalPath.filename().string() + ".partial-"; }

bool IsPartialName(const std::string& name, const std::string& prefix) {
  return name.size() == prefix.size() + 8 && name.compare(0, prefix.size(), prefix) == 0 &&
         std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                     [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; });
}

// A random suffix keeps two exports to the same place from sharing a partial.
std::string Suffix() {
  std::random_device random;
  char text[9];
  std::snprintf(text, sizeof text, "%08x", static_cast<unsigned>(random()));
  return text;
}

mode_t CurrentUmask() {
  const mode_t mask = umask(0);
  umask(mask);
  return mask;
}

}  // namespace

void RemoveAbandonedPartials(const fs::path& finalPath) {
  const std::string prefix = PartialPrefix(finalPath);
  const fs::path directory = finalPath.has_parent_path() ? finalPath.parent_path() : fs::path(".");
  std::error_code error;
  for (fs::directory_iterator it(directory, error), end; !error && it != end; it.increment(error)) {
    const fs::path entry = it->path();
    if (!IsPartialName(entry.filename().string(), prefix)) continue;
    const int fd = open(entry.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat st;
    // Held by a running export, its lock fails; only files and folders are partials.
    if (fstat(fd, &st) == 0 && (S_ISREG(st.st_mode) || S_ISDIR(st.st_mode)) && flock(fd, LOCK_EX | LOCK_NB) == 0) {
      std::error_code ignored;
      fs::remove_all(entry, ignored);
    }
    close(fd);
  }
}

StagedOutput::StagedOutput(const std::string& shown, Kind kind) : shown_(shown), kind_(kind) {
  auto fail = [&](const std::string& reason) { throw HostError("cannot write " + shown_ + ": " + reason); };
  const fs::path given(shown);
  if (kind_ == Kind::kFile && !given.has_filename()) fail("it names a folder");
  const fs::path path = WithoutTrailingSeparators(given);
  if (path.filename() == "." || path.filename() == ".." || !path.has_filename())
    fail("it names no file or folder of its own");
  final_ = ThroughLinks(path);

  struct stat st;
  if (stat(final_.c_str(), &st) == 0) {
    if (kind_ == Kind::kFile && S_ISDIR(st.st_mode)) fail("it is a folder");
    if (kind_ == Kind::kFile && !S_ISREG(st.st_mode)) fail("it is no regular file");
    std::error_code error;
    if (kind_ == Kind::kFolder && (!S_ISDIR(st.st_mode) || !fs::is_empty(final_, error)))
      fail("it exists and is not an empty folder");
    keptMode_ = static_cast<int>(st.st_mode & 07777);
  }

  RemoveAbandonedPartials(final_);
  partial_ = final_.parent_path() / (PartialPrefix(final_) + Suffix());
  cleanup_ = std::make_unique<InterruptCleanup>(partial_);
  int error = 0;
  cleanup_->Exclusive([&] {
    if (kind_ == Kind::kFile) {
      fd_ = open(partial_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    } else if (mkdir(partial_.c_str(), 0700) == 0) {
      fd_ = open(partial_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
      if (fd_ < 0) {
        error = errno;
        rmdir(partial_.c_str());
      }
    }
    if (fd_ < 0 && error == 0) error = errno;
  });
  if (fd_ < 0) fail(std::strerror(error));
  flock(fd_, LOCK_EX | LOCK_NB);
}

StagedOutput::~StagedOutput() {
  if (!committed_) {
    std::error_code error;
    fs::remove_all(partial_, error);
  }
  close(fd_);
}

fs::path StagedOutput::Shown(const fs::path& written) const {
  const fs::path inside = written.lexically_relative(partial_);
  const fs::path shown = WithoutTrailingSeparators(shown_);
  return inside.empty() || inside == "." ? shown : shown / inside;
}

void StagedOutput::Commit() {
  auto fail = [&](int error) { throw HostError("cannot write " + shown_ + ": " + std::strerror(error)); };
  const mode_t mode = keptMode_ >= 0 ? static_cast<mode_t>(keptMode_)
                                     : (kind_ == Kind::kFile ? 0666 : 0777) & ~CurrentUmask();
  if (fchmod(fd_, mode) != 0) fail(errno);
  // The bytes reach the disk before the name moves, so that a power cut
  // leaves the old file or the new one, never an empty one.
  if (kind_ == Kind::kFile && fsync(fd_) != 0) fail(errno);
  cleanup_->Exclusive([&] {
    if (kind_ == Kind::kFolder) rmdir(final_.c_str());  // empty, checked above; absent is fine
    if (rename(partial_.c_str(), final_.c_str()) != 0) fail(errno);
  });
  committed_ = true;
}
