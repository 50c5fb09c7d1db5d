#include <dlfcn.h>
#include <unistd.h>

#include <climits>

#include "module_loader.h"

namespace tessaro::testing {

LoadedModule::LoadedModule(const std::string& path) {
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) {
    const char* why = dlerror();
    error_ = why ? why : "dlopen failed";
    return;
  }
  entry_ = reinterpret_cast<PluginEntry>(dlsym(handle_, "PluginMainTessaro"));
  if (!entry_) error_ = "PluginMainTessaro not exported";
}

LoadedModule::~LoadedModule() {
  if (handle_) dlclose(handle_);
}

std::string ModuleBesideExecutable() {
  char buffer[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  std::string path = n > 0 ? std::string(buffer, size_t(n)) : std::string("./x");
  return path.substr(0, path.rfind('/') + 1) + "Tessaro.so";
}

}  // namespace tessaro::testing
