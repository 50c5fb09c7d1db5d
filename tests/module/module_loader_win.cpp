#include <windows.h>

#include "module_loader.h"

namespace tessaro::testing {

LoadedModule::LoadedModule(const std::string& path) {
  HMODULE module = LoadLibraryA(path.c_str());
  if (!module) {
    error_ = "LoadLibrary failed with error " + std::to_string(GetLastError());
    return;
  }
  handle_ = module;
  entry_ = reinterpret_cast<PluginEntry>(
      reinterpret_cast<void*>(GetProcAddress(module, "PluginMainTessaro")));
  if (!entry_) error_ = "PluginMainTessaro not exported";
}

LoadedModule::~LoadedModule() {
  if (handle_) FreeLibrary(static_cast<HMODULE>(handle_));
}

std::string ModuleBesideExecutable() {
  char buffer[MAX_PATH * 4];
  const DWORD n = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
  std::string path(buffer, n);
  return path.substr(0, path.find_last_of("\\/") + 1) + "Tessaro.8bf";
}

}  // namespace tessaro::testing
