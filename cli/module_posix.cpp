#include <dlfcn.h>

#include "cli/plugin_module.h"

namespace tessaro::cli {

PluginModule::~PluginModule() {
  if (handle_) dlclose(handle_);
}

bool PluginModule::Load(const std::string& path, std::string* error) {
  // dlopen searches the library path for a bare name; a module file is meant.
  const std::string file = path.find('/') == std::string::npos ? "./" + path : path;
  handle_ = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) {
    const char* why = dlerror();
    if (error) *error = why ? why : "cannot be loaded";
    return false;
  }
  entry_ = reinterpret_cast<PluginEntry>(dlsym(handle_, kEntryPointName));
  if (!entry_) {
    if (error) *error = std::string("it does not export ") + kEntryPointName;
    dlclose(handle_);
    handle_ = nullptr;
    return false;
  }
  return true;
}

void* PluginModule::Symbol(const char* name) const {
  return handle_ ? dlsym(handle_, name) : nullptr;
}

}  // namespace tessaro::cli
