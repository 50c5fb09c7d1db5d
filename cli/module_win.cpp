#include <windows.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "cli/module_machine.h"
#include "cli/platform.h"
#include "i18n/utf16.h"
#include "cli/plugin_module.h"

namespace tessaro::cli {

namespace {
std::string LastErrorText() {
  const DWORD code = GetLastError();
  wchar_t* text = nullptr;
  FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                     FORMAT_MESSAGE_IGNORE_INSERTS,
                 nullptr, code, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
  std::string result = text ? WideToUtf8(text) : std::string();
  if (text) LocalFree(text);
  while (!result.empty() && (result.back() == '\n' || result.back() == '\r' || result.back() == ' '))
    result.pop_back();
  return result.empty() ? "error " + std::to_string(code) : result;
}
// Enough of the file for its header, which a linker puts in the first page.
std::string MismatchOf(const std::wstring& path) {
  std::ifstream file(std::filesystem::path(path), std::ios::binary);
  std::vector<uint8_t> head(4096);
  file.read(reinterpret_cast<char*>(head.data()), std::streamsize(head.size()));
  const size_t got = size_t(file.gcount());
  const uint16_t own = sizeof(void*) == 8 ? kMachineX64 : kMachineX86;
  return ProcessorMismatch(ModuleMachine(head.data(), got), own);
}
}  // namespace

PluginModule::~PluginModule() {
  if (handle_) FreeLibrary(static_cast<HMODULE>(handle_));
}

bool PluginModule::Load(const std::string& path, std::string* error) {
  // Dependencies are looked for beside the module, as editors load filters;
  // that search needs the full path.
  const std::wstring wide = Utf8ToWide(path);
  std::wstring full(32768, L'\0');
  const DWORD n = GetFullPathNameW(wide.c_str(), DWORD(full.size()), full.data(), nullptr);
  full.resize(n > 0 && n < 32768 ? n : 0);
  HMODULE module = LoadLibraryExW(full.empty() ? wide.c_str() : full.c_str(), nullptr,
                                  LOAD_WITH_ALTERED_SEARCH_PATH);
  if (!module) {
    if (error) {
      *error = LastErrorText();
      const std::string mismatch = MismatchOf(full.empty() ? wide : full);
      if (!mismatch.empty()) *error = mismatch;
    }
    return false;
  }
  entry_ = reinterpret_cast<PluginEntry>(
      reinterpret_cast<void*>(GetProcAddress(module, kEntryPointName)));
  if (!entry_) {
    if (error) *error = std::string("it does not export ") + kEntryPointName;
    FreeLibrary(module);
    return false;
  }
  handle_ = module;
  return true;
}

void* PluginModule::Symbol(const char* name) const {
  return handle_ ? reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name))
                 : nullptr;
}

}  // namespace tessaro::cli
