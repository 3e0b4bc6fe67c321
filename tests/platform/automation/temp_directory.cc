#include "tests/platform/automation/temp_directory.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <vector>

TempDirectory::TempDirectory() {
  std::string pattern = (std::filesystem::temp_directory_path() / "arvoline-test-XXXXXX").string();
  std::vector<char> buf(pattern.begin(), pattern.end());
  buf.push_back('\0');
  if (!mkdtemp(buf.data())) throw std::runtime_error("mkdtemp failed");
  path_ = buf.data();
}

TempDirectory::~TempDirectory() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string TempDirectory::File(const std::string& name) const { return path_ + "/" + name; }
