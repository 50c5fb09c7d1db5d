// Windows build: the wide API throughout, so that a module installed under a
// folder with non-ASCII characters finds its language files whatever the
// system's ANSI code page.
#include <windows.h>

#include "i18n/ascii.h"
#include "i18n/file_system.h"
#include "i18n/utf16.h"

namespace tessaro::i18n {

namespace {

std::string FolderOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return {};
  return WideToUtf8(path.data(), slash + 1);
}

// Module file names may exceed MAX_PATH; grow until the name fits.
std::wstring ModuleFileName(HMODULE module) {
  for (DWORD size = MAX_PATH; size <= 32768; size *= 2) {
    std::wstring name(size, L'\0');
    const DWORD length = GetModuleFileNameW(module, name.data(), size);
    if (length == 0) return {};
    if (length < size) {
      name.resize(length);
      return name;
    }
  }
  return {};
}

class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  ~FileHandle() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  HANDLE Get() const { return handle_; }

 private:
  HANDLE handle_;
};

bool ReadSome(HANDLE file, char* into, size_t size, size_t& got) {
  got = 0;
  while (got < size) {
    const size_t left = size - got;
    const DWORD want = left > 0x100000u ? 0x100000u : DWORD(left);
    DWORD n = 0;
    if (!ReadFile(file, into + got, want, &n, nullptr)) return false;
    if (n == 0) break;
    got += n;
  }
  return true;
}

}  // namespace

char PathSeparator() { return '\\'; }

std::string ModuleFolder() {
  static const int anchor = 0;  // any object of this module locates it
  HMODULE module = nullptr;
  if (!GetModuleHandleExW(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          reinterpret_cast<LPCWSTR>(&anchor), &module)) {
    return {};
  }
  return FolderOf(ModuleFileName(module));
}

std::string ProgramFolder() { return FolderOf(ModuleFileName(nullptr)); }

std::vector<std::string> FindFilesWithExtension(const std::string& folder,
                                                const std::string& extension) {
  std::vector<std::string> names;
  // Every name, filtered here: a "*.lng" pattern would also match long names
  // such as "x.lngold" through their short 8.3 aliases.
  const std::wstring pattern = Utf8ToWide(folder) + L"*";
  WIN32_FIND_DATAW found{};
  HANDLE search =
      FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    if (found.cFileName[0] == L'.' || found.cFileName[0] == L'\0') continue;
    std::string name = WideToUtf8(found.cFileName, wcslen(found.cFileName));
    if (!name.empty() && EndsWithNoCase(name, extension)) names.push_back(std::move(name));
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return names;
}

bool ReadFileHead(const std::string& path, size_t maxBytes, std::string& bytes, bool& truncated) {
  bytes.clear();
  truncated = false;
  const std::wstring widePath = Utf8ToWide(path);
  if (widePath.empty()) return false;
  // Sharing everything: a translator may have the file open in an editor.
  FileHandle file(CreateFileW(widePath.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.Get() == INVALID_HANDLE_VALUE || GetFileType(file.Get()) != FILE_TYPE_DISK) return false;

  return ReadInChunks(
      [&](char* into, size_t size, size_t& got) { return ReadSome(file.Get(), into, size, got); },
      maxBytes, bytes, truncated);
}

}  // namespace tessaro::i18n
