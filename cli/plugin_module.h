// The plug-in module file, loaded as an editor loads it and entered through
// its one export.
#pragma once

#include <string>

#include "cli/host_session.h"
#include "host/plugin_resources.h"

namespace tessaro::cli {

using host::kEntryPointName;

class PluginModule {
 public:
  PluginModule() = default;
  ~PluginModule();
  PluginModule(const PluginModule&) = delete;
  PluginModule& operator=(const PluginModule&) = delete;

  // False with a reason when the file cannot be loaded or lacks the export.
  bool Load(const std::string& path, std::string* error);
  PluginEntry Entry() const { return entry_; }
  // Any other export, or null.
  void* Symbol(const char* name) const;

 private:
  void* handle_ = nullptr;
  PluginEntry entry_ = nullptr;
};

}  // namespace tessaro::cli
