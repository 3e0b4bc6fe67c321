#include "host/plugin_module.h"

#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

#include <filesystem>

#include "host/host_error.h"

namespace {

template <typename F>
F Export(void* handle, const char* name, const std::string& path) {
  void* symbol = dlsym(handle, name);
  if (!symbol) throw HostError(path + " does not export " + name + "; it is no Arvoline plug-in");
  return reinterpret_cast<F>(symbol);
}

}  // namespace

PluginModule::PluginModule(const std::string& path) : path_(path) {
  // A path without a slash would make dlopen search the library path.
  const std::string loadPath = path.find('/') == std::string::npos ? "./" + path : path;
  handle_ = dlopen(loadPath.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) {
    const char* reason = dlerror();
    throw HostError("cannot load the plug-in " + path + ": " + (reason ? reason : "unknown reason"));
  }
  try {
    getPluginInfo_ = Export<GetPluginInfoFunction>(handle_, "GetPluginInfo", path);
    beginImportSession_ = Export<BeginImportSessionFunction>(handle_, "BeginImportSession", path);
    importDocument_ = Export<ImportDocumentFunction>(handle_, "ImportDocument", path);
    endImportSession_ = Export<EndImportSessionFunction>(handle_, "EndImportSession", path);
  } catch (...) {
    dlclose(handle_);
    throw;
  }
}

PluginModule::~PluginModule() { dlclose(handle_); }

std::string DefaultPluginPath() {
  char self[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return "Arvoline.so";
  const std::filesystem::path directory = std::filesystem::path(std::string(self, static_cast<size_t>(n))).parent_path();
  // The build tree keeps the module beside the program; an installed tree
  // keeps it in its own directory, found relative to the program so that
  // the tree works wherever it is unpacked.
  const std::filesystem::path beside = directory / "Arvoline.so";
  const std::filesystem::path installed = (directory / ARVOLINE_PLUGIN_DIR_FROM_HOST / "Arvoline.so").lexically_normal();
  std::error_code ignored;
  if (!std::filesystem::exists(beside, ignored) && std::filesystem::exists(installed, ignored)) return installed.string();
  return beside.string();
}
