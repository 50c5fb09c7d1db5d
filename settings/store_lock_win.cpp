#include <windows.h>

#include <filesystem>

#include "settings/store_lock.h"

namespace tessaro {

namespace {
// Long enough for any real write; a lock held longer belongs to a writer
// that hangs, and waiting for it would hang this one too.
constexpr int kWaitSteps = 1000;
constexpr DWORD kStepMs = 10;
}  // namespace

StoreLock::StoreLock(const std::string& storePath) {
  // A file opened by one process at a time, gone when closed.
  const std::wstring path = std::filesystem::u8path(storePath + ".lock").wstring();
  for (int step = 0; step < kWaitSteps; ++step) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      handle_ = reinterpret_cast<intptr_t>(file);
      return;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED) return;
    Sleep(kStepMs);
  }
}

StoreLock::~StoreLock() {
  if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

}  // namespace tessaro
