// OutputFolder: a folder of an export, open as a directory descriptor, in
// which files and folders are made by name (openat, mkdirat, renameat): one
// system call per step and no path resolved again from the top, however deep.
//
// Owns its descriptor (closed by the destructor; movable, not copyable).
// Every failure is an OutputError naming the path of the file or folder
// concerned and the operating system's reason.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "host/output_error.h"

class OutputFolder {
 public:
  // Opens the existing folder `path`.
  explicit OutputFolder(std::filesystem::path path);
  ~OutputFolder();
  OutputFolder(OutputFolder&& other) noexcept;
  OutputFolder& operator=(OutputFolder&& other) noexcept;
  OutputFolder(const OutputFolder&) = delete;
  OutputFolder& operator=(const OutputFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }

  // Creates the file `name`, which must not exist yet, holding `bytes`:
  // one open, the writes the bytes take (one unless interrupted), one close.
  void WriteFile(const std::string& name, std::string_view bytes) const;
  // Creates the folder `name` and opens it.
  OutputFolder MakeFolder(const std::string& name) const;
  // The folder this one is in, opened again.
  OutputFolder Parent() const;
  // Renames the entry `from` of this folder to `to`.
  void Rename(const std::string& from, const std::string& to) const;

 private:
  OutputFolder(int fd, std::filesystem::path path) : fd_(fd), path_(std::move(path)) {}
  [[noreturn]] void Fail(const std::string& name, int error) const;

  int fd_ = -1;
  std::filesystem::path path_;
};
