#include "host/staged_output.h"

#include <random>
#include <system_error>

#include <cstdio>

#include "host/host_error.h"

namespace fs = std::filesystem;

namespace {

std::string Describe(const std::error_code& error) { return error.message(); }

// A random suffix keeps two exports to the same place from sharing a temporary name.
std::string Suffix() {
  std::random_device random;
  char text[9];
  std::snprintf(text, sizeof text, "%08x", static_cast<unsigned>(random()));
  return text;
}

}  // namespace

StagedOutput::StagedOutput(fs::path finalPath, Kind kind) : final_(std::move(finalPath)), kind_(kind) {
  std::error_code error;
  const fs::file_status status = fs::status(final_, error);
  if (kind_ == Kind::kFile && fs::is_directory(status))
    throw HostError("cannot write " + final_.string() + ": it is a folder");
  if (kind_ == Kind::kFolder && fs::exists(status) &&
      (!fs::is_directory(status) || !fs::is_empty(final_, error)))
    throw HostError("cannot write " + final_.string() + ": it exists and is not an empty folder");

  fs::path name = final_.filename();
  if (name.empty() || name == "." || name == "..") throw HostError("cannot write " + final_.string());
  temporary_ = final_.parent_path() / ("." + name.string() + ".partial-" + Suffix());
  fs::remove_all(temporary_, error);
  if (kind_ == Kind::kFolder && !fs::create_directory(temporary_, error))
    throw HostError("cannot create " + temporary_.string() + ": " + Describe(error));
}

StagedOutput::~StagedOutput() {
  if (committed_) return;
  std::error_code error;
  fs::remove_all(temporary_, error);
}

void StagedOutput::Commit() {
  std::error_code error;
  if (kind_ == Kind::kFolder && fs::is_directory(final_, error)) fs::remove(final_, error);  // empty, checked above
  fs::rename(temporary_, final_, error);
  if (error) throw HostError("cannot write " + final_.string() + ": " + Describe(error));
  committed_ = true;
}
