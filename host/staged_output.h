// StagedOutput: an export's file or folder is written under a temporary name
// beside its final path and renamed to that path by Commit(). Until then the
// final path is untouched; destroying an uncommitted StagedOutput removes
// what was written, so a failed export leaves nothing half-written.
//
// An existing file is replaced; an existing folder is used only when empty,
// so that an export never deletes files it did not write.
#pragma once

#include <filesystem>

class StagedOutput {
 public:
  enum class Kind { kFile, kFolder };

  // Throws HostError when the final path cannot take the output.
  StagedOutput(std::filesystem::path finalPath, Kind kind);
  ~StagedOutput();
  StagedOutput(const StagedOutput&) = delete;
  StagedOutput& operator=(const StagedOutput&) = delete;

  // Where to write: a file path, or a folder that already exists.
  const std::filesystem::path& Path() const { return temporary_; }
  void Commit();

 private:
  std::filesystem::path final_;
  std::filesystem::path temporary_;
  Kind kind_;
  bool committed_ = false;
};
