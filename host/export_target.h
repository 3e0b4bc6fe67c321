// ExportTarget: where an export goes, settled from -o before the import runs.
//   "-"                       standard output (not for a folder)
//   an existing device, FIFO  written where it is (/dev/null, a pipe)
//   anything else             a file or folder staged beside its final path
//                             (StagedOutput) and renamed into place when complete
// An output that is the database being exported (the same file, however
// named or linked) is refused. Every error names the path as given, with the
// operating system's reason: "cannot write notes.html: No space left on device".
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "host/descriptor_output.h"
#include "host/output_error.h"
#include "host/staged_output.h"

class ExportTarget {
 public:
  // HostError when `output` cannot take the export or is `database`.
  ExportTarget(const std::string& output, bool folder, const std::string& database);
  ~ExportTarget();
  ExportTarget(const ExportTarget&) = delete;
  ExportTarget& operator=(const ExportTarget&) = delete;

  // For a file: the stream to write.
  std::ostream& Stream() { return *stream_; }
  // For a folder: the partial folder to write into.
  const std::filesystem::path& Folder() const { return staged_->Path(); }

  // Throws the reason once a write to the stream has failed.
  void Check();
  // Flushes, checks and moves the output into place.
  void Complete();
  // The OutputError of a write inside the folder, as a HostError naming the
  // path the person will see.
  [[noreturn]] void Fail(const OutputError& error) const;

 private:
  std::string shown_;
  std::unique_ptr<StagedOutput> staged_;
  int fd_ = -1;
  bool ownsFd_ = false;
  std::unique_ptr<DescriptorOutput> stream_;
};
