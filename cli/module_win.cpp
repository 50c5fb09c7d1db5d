#include <windows.h>

#include <vector>

#include "cli/module_machine.h"
#include "cli/platform.h"
#include "cli/plugin_module.h"
#include "i18n/utf16.h"

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
  // The system's own file calls: a C++ stream would bring the whole locale
  // library into the program.
  std::vector<uint8_t> head(4096);
  DWORD got = 0;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    if (!ReadFile(file, head.data(), DWORD(head.size()), &got, nullptr)) got = 0;
    CloseHandle(file);
  }
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
