#include <windows.h>
#include <shellapi.h>

#include <atomic>
#include <memory>
#include <new>

#include "cli/options.h"
#include "cli/platform.h"

namespace tessaro::cli {

std::wstring Widen(const std::string& utf8) {
  if (utf8.empty()) return std::wstring();
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
  std::wstring wide(size_t(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), wide.data(), n);
  return wide;
}

std::string Narrow(const std::wstring& wide) {
  if (wide.empty()) return std::string();
  const int n =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(size_t(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), utf8.data(), n, nullptr, nullptr);
  return utf8;
}

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  // The narrow arguments lose every character outside the code page: take the
  // wide command line instead.
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!wide) return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
  std::vector<std::string> args;
  for (int i = 1; i < count; ++i) args.push_back(Narrow(wide[i]));
  LocalFree(wide);
  return args;
}

std::string ProgramFolder() {
  std::wstring buffer(32768, L'\0');
  const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), DWORD(buffer.size()));
  buffer.resize(n);
  const size_t slash = buffer.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::string(".\\") : Narrow(buffer.substr(0, slash + 1));
}

bool ModuleHasDialog() { return true; }

const char* ModuleFileName() { return "Tessaro.8bf"; }

bool StderrIsTerminal() {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

std::string TemporaryPathBeside(const std::string& path) {
  static std::atomic<unsigned> counter{0};
  const std::string name = FileNameOf(path);
  const std::string folder = path.substr(0, path.size() - name.size());
  return folder + "." + name + ".tmp-" + std::to_string(GetCurrentProcessId()) + "-" +
         std::to_string(counter++);
}

bool MoveIntoPlace(const std::string& from, const std::string& to, std::string* error) {
  // The caller removes from when this fails: it must fail, never throw.
  try {
    if (MoveFileExW(Widen(from).c_str(), Widen(to).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      return true;
    if (error) {
      const DWORD code = GetLastError();
      wchar_t* text = nullptr;
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                         FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, code, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
      struct Free {
        void operator()(wchar_t* p) const { LocalFree(p); }
      };
      const std::unique_ptr<wchar_t, Free> owned(text);
      *error = text ? Narrow(text) : "error " + std::to_string(code);
      while (!error->empty() && (error->back() == '\n' || error->back() == '\r')) error->pop_back();
    }
  } catch (const std::bad_alloc&) {
    if (error) *error = "out of memory";  // short enough to need no memory
  }
  return false;
}

void RemoveFile(const std::string& path) {
  try {
    DeleteFileW(Widen(path).c_str());
  } catch (const std::bad_alloc&) {
    // Nothing to report through: the file stays.
  }
}

}  // namespace tessaro::cli
