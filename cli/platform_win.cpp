#include <windows.h>
#include <shellapi.h>
#include <fcntl.h>
#include <io.h>

#include <atomic>
#include <cstdio>
#include <memory>
#include <new>

#include "cli/options.h"
#include "cli/platform.h"
#include "i18n/utf16.h"

namespace tessaro::cli {

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  // The narrow arguments lose every character outside the code page: take the
  // wide command line instead.
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!wide) return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
  std::vector<std::string> args;
  for (int i = 1; i < count; ++i) args.push_back(WideToUtf8(wide[i]));
  LocalFree(wide);
  return args;
}

std::string ProgramFolder() {
  std::wstring buffer(32768, L'\0');
  const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), DWORD(buffer.size()));
  buffer.resize(n);
  const size_t slash = buffer.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::string(".\\") : WideToUtf8(buffer.substr(0, slash + 1));
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
  return folder + ".tessaro-" + std::to_string(GetCurrentProcessId()) + "-" +
         std::to_string(counter++) + ".tmp";
}

std::string SystemErrorText(DWORD code) {
  wchar_t* text = nullptr;
  FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                     FORMAT_MESSAGE_IGNORE_INSERTS,
                 nullptr, code, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
  struct Free {
    void operator()(wchar_t* p) const { LocalFree(p); }
  };
  const std::unique_ptr<wchar_t, Free> owned(text);
  std::string reason = text ? WideToUtf8(text) : "error " + std::to_string(code);
  while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' ||
                             reason.back() == ' ' || reason.back() == '.'))
    reason.pop_back();
  return reason;
}

namespace {

bool NotFound(DWORD code) { return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND; }

// Device names (NUL, CON, COM1) exist in every folder and are no files.
bool IsDevice(const std::wstring& path) {
  HANDLE h = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  const DWORD type = GetFileType(h);
  CloseHandle(h);
  return type != FILE_TYPE_DISK;
}

}  // namespace

std::string FolderProblem(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Utf8ToWide(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD code = GetLastError();
    return NotFound(code) ? "does not exist" : "cannot be used (" + SystemErrorText(code) + ")";
  }
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return "is not a folder";
  return "";
}

std::string OutputProblem(const std::string& path) {
  const std::string name = FileNameOf(path);
  if (name.empty() || name == "." || name == "..")
    return "is a folder; give a file name (or use --out-dir)";
  const std::wstring wide = Utf8ToWide(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD code = GetLastError();
    if (!NotFound(code)) {
      if (IsDevice(wide))
        return "is not a regular file (a device, pipe or socket); only regular files are replaced";
      return "cannot use (" + SystemErrorText(code) + ")";
    }
    const std::string folder = path.substr(0, path.size() - name.size());
    const std::string problem = FolderProblem(folder.empty() ? "." : folder);
    return problem.empty() ? "" : "cannot be written: folder '" + folder + "' " + problem;
  }
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
    return "is a symbolic link; links are never replaced (give the file it points to)";
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return "is a folder; give a file name (or use --out-dir)";
  if ((attributes & FILE_ATTRIBUTE_DEVICE) || IsDevice(wide))
    return "is not a regular file (a device, pipe or socket); only regular files are replaced";
  if (attributes & FILE_ATTRIBUTE_READONLY) return "is read-only; read-only files are never replaced";
  return "";
}

bool MoveIntoPlace(const std::string& from, const std::string& to, std::string* error) {
  // The caller removes from when this fails: it must fail, never throw.
  try {
    if (MoveFileExW(Utf8ToWide(from).c_str(), Utf8ToWide(to).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      return true;
    if (error) *error = SystemErrorText(GetLastError());
  } catch (const std::bad_alloc&) {
    if (error) *error = "out of memory";  // short enough to need no memory
  }
  return false;
}

std::FILE* OpenScratchFile() {
  wchar_t folder[MAX_PATH + 1], name[MAX_PATH + 1];
  if (!GetTempPathW(MAX_PATH + 1, folder) || !GetTempFileNameW(folder, L"tsr", 0, name))
    return nullptr;
  std::FILE* file = _wfopen(name, L"w+bTD");  // D: removed when closed
  if (!file) DeleteFileW(name);
  return file;
}

int RedirectStandardError(std::FILE* to) {
  const int saved = _dup(2);
  if (saved < 0 || _dup2(_fileno(to), 2) != 0) {
    if (saved >= 0) _close(saved);
    return -1;
  }
  return saved;
}

void RestoreStandardError(int saved) {
  _dup2(saved, 2);
  _close(saved);
}

std::FILE* OpenStreamOnCopy(int saved) {
  const int copy = _dup(saved);
  if (copy < 0) return nullptr;
  std::FILE* stream = _fdopen(copy, "w");
  if (!stream) _close(copy);
  return stream;
}

void RemoveFile(const std::string& path) {
  try {
    DeleteFileW(Utf8ToWide(path).c_str());
  } catch (const std::bad_alloc&) {
    // Nothing to report through: the file stays.
  }
}

}  // namespace tessaro::cli
