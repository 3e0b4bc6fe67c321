// OutputError: writing an export failed at `path` (where the bytes went, which
// may lie inside a partial folder) for the operating system's `reason`. The
// export command reports it under the path the person gave.
#pragma once

#include <filesystem>
#include <string>

#include "host/host_error.h"

class OutputError : public HostError {
 public:
  OutputError(std::filesystem::path path, const std::string& reason)
      : HostError("cannot write " + path.string() + ": " + reason), path_(std::move(path)), reason_(reason) {}
  const std::filesystem::path& path() const { return path_; }
  const std::string& reason() const { return reason_; }

 private:
  std::filesystem::path path_;
  std::string reason_;
};
