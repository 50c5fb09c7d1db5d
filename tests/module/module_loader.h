// Loads the plug-in module that lies beside the test program, as a host does.
#pragma once

#include <cstdint>
#include <string>

namespace tessaro::testing {

using PluginEntry = void (*)(int16_t selector, void* paramBlock, intptr_t* data, int16_t* result);

class LoadedModule {
 public:
  explicit LoadedModule(const std::string& path);
  ~LoadedModule();
  LoadedModule(const LoadedModule&) = delete;
  LoadedModule& operator=(const LoadedModule&) = delete;

  bool ok() const { return entry_ != nullptr; }
  const std::string& error() const { return error_; }
  PluginEntry entry() const { return entry_; }
  void* handle() const { return handle_; }

 private:
  void* handle_ = nullptr;
  PluginEntry entry_ = nullptr;
  std::string error_;
};

// The module's file name in this build, in the test program's own folder.
std::string ModuleBesideExecutable();

}  // namespace tessaro::testing
