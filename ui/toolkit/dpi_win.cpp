#include "ui/toolkit/dpi_win.h"

namespace tessaro {

namespace {

constexpr wchar_t kSkinDpiProperty[] = L"Tessaro.SkinDpi";

// The system's pseudo-handles of the per-monitor contexts.
const HANDLE kPerMonitorAwareV2 = reinterpret_cast<HANDLE>(intptr_t(-4));
const HANDLE kPerMonitorAware = reinterpret_cast<HANDLE>(intptr_t(-3));

template <typename Function>
Function User32Function(const char* name) {
  HMODULE user = GetModuleHandleW(L"user32.dll");
  if (user == nullptr) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user, name)));
}

using SetThreadDpiAwarenessContextFn = HANDLE(WINAPI*)(HANDLE);

// The host's own context, saved by the outermost scope that changed it.
thread_local HANDLE t_hostContext = nullptr;
thread_local int t_scopes = 0;

SetThreadDpiAwarenessContextFn SetContextFunction() {
  static const auto set =
      User32Function<SetThreadDpiAwarenessContextFn>("SetThreadDpiAwarenessContext");
  return set;
}
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using SetDialogDpiChangeBehaviorFn = BOOL(WINAPI*)(HWND, int, int);

}  // namespace

CDpiAwarenessScope::CDpiAwarenessScope() {
  const auto set = SetContextFunction();
  if (set == nullptr) return;
  // Version 2 also scales the platform's own parts (menus, the colour
  // dialog); systems before it know only the first version.
  previous_ = set(kPerMonitorAwareV2);
  if (previous_ == nullptr) previous_ = set(kPerMonitorAware);
  if (previous_ == nullptr) return;
  if (t_scopes++ == 0) t_hostContext = previous_;
}

CDpiAwarenessScope::~CDpiAwarenessScope() {
  if (previous_ == nullptr) return;
  if (--t_scopes == 0) t_hostContext = nullptr;
  if (const auto set = SetContextFunction()) set(previous_);
}

CHostDpiScope::CHostDpiScope() {
  const auto set = SetContextFunction();
  if (set != nullptr && t_hostContext != nullptr) ours_ = set(t_hostContext);
}

CHostDpiScope::~CHostDpiScope() {
  if (ours_ == nullptr) return;
  if (const auto set = SetContextFunction()) set(ours_);
}

int32_t SystemDpiForWindow(HWND hwnd) {
  static const auto forWindow = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
  if (forWindow != nullptr && hwnd != nullptr) {
    const UINT dpi = forWindow(hwnd);
    if (dpi > 0) return int32_t(dpi);
  }
  HDC screen = GetDC(nullptr);
  const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
  if (screen != nullptr) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : kBaseDpi;
}

void SetWindowSkinDpi(HWND topLevel, int32_t dpi) {
  if (topLevel == nullptr) return;
  if (dpi <= 0) {
    RemovePropW(topLevel, kSkinDpiProperty);
    return;
  }
  SetPropW(topLevel, kSkinDpiProperty, reinterpret_cast<HANDLE>(intptr_t(dpi)));
}

int32_t WindowSkinDpi(HWND hwnd) {
  if (hwnd == nullptr) return SystemDpiForWindow(nullptr);
  HWND root = GetAncestor(hwnd, GA_ROOT);
  if (root == nullptr) root = hwnd;
  const auto kept = int32_t(reinterpret_cast<intptr_t>(GetPropW(root, kSkinDpiProperty)));
  return kept > 0 ? kept : SystemDpiForWindow(hwnd);
}

SkinMetrics WindowSkinMetrics(HWND hwnd) { return SkinMetricsFor(WindowSkinDpi(hwnd)); }

void TakeOverDialogDpiScaling(HWND dialog) {
  static const auto behaviour =
      User32Function<SetDialogDpiChangeBehaviorFn>("SetDialogDpiChangeBehavior");
  // Disable all: no resize, no font change, no re-layout of the controls.
  constexpr int kDisableAll = 1 | 2 | 4;
  if (behaviour != nullptr && dialog != nullptr) behaviour(dialog, kDisableAll, kDisableAll);
}

}  // namespace tessaro
