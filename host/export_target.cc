#include "host/export_target.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "host/host_error.h"

namespace {

constexpr char kStandardOutput[] = "-";

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

}  // namespace

ExportTarget::ExportTarget(const std::string& output, bool folder, const std::string& database)
    : shown_(output == kStandardOutput ? "standard output" : output) {
  struct stat input;
  const bool haveInput = stat(database.c_str(), &input) == 0;
  auto refuseInput = [&](const struct stat& st) {
    if (haveInput && SameFile(st, input)) throw HostError("cannot write " + shown_ + ": it is the database being exported");
  };

  struct stat st;
  if (output == kStandardOutput) {
    if (folder)
      throw HostError("cannot write Markdown to standard output: it is a folder of files; give -o a folder");
    if (fstat(STDOUT_FILENO, &st) == 0) refuseInput(st);
    fd_ = STDOUT_FILENO;
  } else if (stat(output.c_str(), &st) == 0 && !folder && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) {
    refuseInput(st);
    fd_ = open(output.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd_ < 0) throw HostError("cannot write " + shown_ + ": " + std::strerror(errno));
    ownsFd_ = true;
  } else {
    if (stat(output.c_str(), &st) == 0) refuseInput(st);
    staged_ = std::make_unique<StagedOutput>(output, folder ? StagedOutput::Kind::kFolder : StagedOutput::Kind::kFile);
    fd_ = folder ? -1 : staged_->Descriptor();
  }
  if (fd_ >= 0) stream_ = std::make_unique<DescriptorOutput>(fd_);
}

ExportTarget::~ExportTarget() {
  stream_.reset();
  if (ownsFd_) close(fd_);
}

void ExportTarget::Check() {
  if (stream_ && stream_->Error() != 0)
    throw HostError("cannot write " + shown_ + ": " + std::strerror(stream_->Error()));
}

void ExportTarget::Complete() {
  if (stream_) stream_->flush();
  Check();
  if (staged_) staged_->Commit();
}

void ExportTarget::Fail(const OutputError& error) const {
  throw HostError("cannot write " + (staged_ ? staged_->Shown(error.path()) : error.path()).string() + ": " +
                  error.reason());
}
