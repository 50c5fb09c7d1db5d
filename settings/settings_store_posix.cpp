#include <cstdlib>
#include <string>

#include "settings/file_settings_store.h"

namespace tessaro {

namespace {
std::string SettingsFolder() {
  if (const char* dir = std::getenv("TESSARO_SETTINGS_DIR"); dir && *dir) return dir;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) return std::string(xdg);
  if (const char* home = std::getenv("HOME"); home && *home) return std::string(home) + "/.config";
  return ".";
}
}  // namespace

std::string SettingsStoreLocation(const std::string& company, const std::string& application) {
  return SettingsFolder() + "/" + company + "/" + application + ".settings";
}

std::unique_ptr<SettingsStore> OpenSettingsStore(const std::string& company,
                                                 const std::string& application) {
  return std::make_unique<FileSettingsStore>(SettingsStoreLocation(company, application));
}

}  // namespace tessaro
