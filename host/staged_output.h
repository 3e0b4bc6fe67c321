// StagedOutput: an export's file or folder is written under a partial name
// beside its final path and renamed to that path by Commit(). Until then the
// final path is untouched; destroying an uncommitted StagedOutput removes
// the partial, and so do SIGINT, SIGTERM and SIGHUP (InterruptCleanup).
//
// The partial is ".NAME.partial-XXXXXXXX" (eight hex digits), created when the
// StagedOutput is, so that an unusable path is reported before any work. It
// stays private (mode 600 or 700) while written and holds an flock for as
// long as its export runs: a partial nobody holds was left by an export that
// was killed outright, and the next export to the same path removes it.
//
// A symbolic link is written through: the file it names is replaced and the
// link stays. A replaced file keeps its mode; a new one gets 666 less the
// umask (folders 777). An existing file is replaced; an existing folder is
// used only when empty, so that an export never deletes files it did not write.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "host/interrupt_cleanup.h"

class StagedOutput {
 public:
  enum class Kind { kFile, kFolder };

  // `shown` is the path as the person gave it, used in every message:
  // HostError "cannot write SHOWN: REASON" when it cannot take the output.
  StagedOutput(const std::string& shown, Kind kind);
  ~StagedOutput();
  StagedOutput(const StagedOutput&) = delete;
  StagedOutput& operator=(const StagedOutput&) = delete;

  // Where to write: the partial folder, or the partial file.
  const std::filesystem::path& Path() const { return partial_; }
  // kFile: the partial, open for writing.
  int Descriptor() const { return fd_; }
  // Where a path inside the partial folder ends up, as the person sees it.
  std::filesystem::path Shown(const std::filesystem::path& written) const;
  void Commit();

 private:
  std::string shown_;
  std::filesystem::path final_;
  std::filesystem::path partial_;
  Kind kind_;
  int fd_ = -1;  // the partial file, or the partial folder (holding the flock)
  int keptMode_ = -1;
  bool committed_ = false;
  std::unique_ptr<InterruptCleanup> cleanup_;
};

// Removes the partials of `finalPath` that no running export holds.
void RemoveAbandonedPartials(const std::filesystem::path& finalPath);
