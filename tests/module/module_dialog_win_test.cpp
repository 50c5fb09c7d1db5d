// Whole interactive runs of the real module: the host sends parameters,
// prepare and start, and a script of the test's own works the effect dialog
// from inside its modal loop with real window messages (keys, clicks, drags,
// menus), then presses OK or Cancel.  What the dialog wrote must equal a
// replay of what it recorded; each step has a deadline, so a dialog that
// stops answering fails the test instead of hanging it.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/plugin_interface.h"
#include "module_fixture.h"
#include "settings/effect_settings.h"
#include "tests/support/fake_descriptor_host.h"
#include "tests/support/test_host.h"

namespace tessaro::testing {
namespace {

using host::FourCC;

constexpr wchar_t kStoreKey[] = L"Software\\Quelmark Ltd\\Tessaro";
constexpr int kPreviewId = 1006, kProgressId = 1034, kMenuId = 4, kPresetsId = 3;
constexpr int kDepthId = 1029, kAngleXId = 1007, kDialId = 1010, kOverlayId = 1013;
constexpr int kLightingId = 1027, kColorId = 1014, kDepthLabelId = 1028;
constexpr int32_t kWidth = 900, kHeight = 640;  // larger than the preview: it pans

// ---- The script -----------------------------------------------------------------

struct Step {
  std::string what;
  std::function<bool()> done;  // called until it says the step is done
};

struct Script {
  std::vector<Step> steps;
  size_t next = 0;
  DWORD stepStart = 0;
  std::string stuckAt;  // the step that ran out of time
  int renders = 0;      // renders seen by the dialog's progress bar
  int hostPicks = 0;
};
Script g_script;
WNDPROC g_progressProc = nullptr;
HWND g_hostWindow = nullptr;
HWND g_hostCanvas = nullptr;  // a child of the editor's window, as hosts pass it
HWND g_expectedOwner = nullptr;  // the editor's window the dialog must belong to
bool g_hostDisabledWhileOpen = false;
bool g_ownedByHost = false;
// Timer ticks on which the dialog was the foreground window with the focus,
// on which the editor's window was, and on which a window of another program
// on the display was (a parallel test: then the order is not ours to judge).
int g_dialogFrontTicks = 0, g_editorFrontTicks = 0, g_foreignFrontTicks = 0;

LRESULT CALLBACK CountRenders(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  // Every render sets the bar's range when it starts.
  if (msg == PBM_SETRANGE32 || msg == PBM_SETRANGE) ++g_script.renders;
  return CallWindowProcW(g_progressProc, hwnd, msg, wParam, lParam);
}

HWND FindThreadWindow(const std::function<bool(HWND)>& match) {
  struct Search {
    const std::function<bool(HWND)>* match;
    HWND found;
  } search{&match, nullptr};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND hwnd, LPARAM data) CALLBACK -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        if (IsWindowVisible(hwnd) && (*s->match)(hwnd)) {
          s->found = hwnd;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND MainDialog() {
  return FindThreadWindow([](HWND h) {
    return GetDlgItem(h, kPreviewId) != nullptr && GetDlgItem(h, kProgressId) != nullptr;
  });
}
HWND WindowTitled(const wchar_t* title) {
  return FindThreadWindow([title](HWND h) {
    wchar_t text[256] = {};
    GetWindowTextW(h, text, 256);
    return wcscmp(text, title) == 0;
  });
}
HWND OpenMenu() { return FindWindowW(L"#32768", nullptr); }
HWND Item(int id) { return GetDlgItem(MainDialog(), id); }

std::wstring TextOf(HWND h) {
  wchar_t text[256] = {};
  GetWindowTextW(h, text, 256);
  return text;
}

void Key(HWND to, WPARAM key) {
  PostMessageW(to, WM_KEYDOWN, key, 1);
  PostMessageW(to, WM_KEYUP, key, 0xC0000001);
}
void Click(HWND h, int x, int y) {
  PostMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  PostMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}
// Keys for an open pop-up menu go to the thread's menu loop.
bool MenuKeys(const std::vector<WPARAM>& keys) {
  HWND menu = OpenMenu();
  if (menu == nullptr || !IsWindowVisible(menu)) return false;
  for (WPARAM k : keys) Key(menu, k);
  return true;
}

// The renders seen so far, once no rebuild has come for a while: the
// dialog's timers are all quiet.
std::function<bool()> Quiet(int* renders) {
  auto last = std::make_shared<int>(-1);
  auto since = std::make_shared<DWORD>(0);
  return [=] {
    if (g_script.renders != *last) {
      *last = g_script.renders;
      *since = GetTickCount();
      return false;
    }
    if (GetTickCount() - *since < 700) return false;
    if (renders != nullptr) *renders = g_script.renders;
    return true;
  };
}

void CALLBACK Drive(HWND, UINT, UINT_PTR, DWORD) {
  Script& s = g_script;
  if (HWND dialog = MainDialog()) {
    HWND front = GetForegroundWindow(), focus = GetFocus();
    DWORD process = 0;
    GetWindowThreadProcessId(front, &process);
    if (front == dialog && focus != nullptr && (focus == dialog || IsChild(dialog, focus) != FALSE))
      ++g_dialogFrontTicks;
    else if (front != nullptr && front == g_expectedOwner)
      ++g_editorFrontTicks;
    else if (front != nullptr && process != GetCurrentProcessId())
      ++g_foreignFrontTicks;
  }
  if (s.next >= s.steps.size() || !s.stuckAt.empty()) return;
  if (s.stepStart == 0) s.stepStart = GetTickCount();
  if (GetTickCount() - s.stepStart > 20000) {
    s.stuckAt = s.steps[s.next].what;
    // Out of every window, so the run ends and the test can fail.
    if (HWND menu = OpenMenu()) EndMenu(), (void)menu;
    for (int i = 0; i < 3; ++i) {
      HWND top = GetForegroundWindow();
      if (top != nullptr && top != MainDialog()) PostMessageW(top, WM_COMMAND, IDCANCEL, 0);
    }
    if (HWND dialog = MainDialog()) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    return;
  }
  if (s.steps[s.next].done()) {
    ++s.next;
    s.stepStart = GetTickCount();
  }
}

// ---- The host -----------------------------------------------------------------------

int16_t PickColor(host::ColorServicesInfo* info) {
  ++g_script.hostPicks;
  // 56 bytes from a 64-bit module, 36 from a 32-bit one.
  if (info->infoSize != int32_t(sizeof(host::ColorServicesInfo)) || info->selector != 0) return -50;
  info->colorComponents[0] = 10;
  info->colorComponents[1] = 200;
  info->colorComponents[2] = 30;
  return 0;
}

// A layer with an opaque, textured ellipse in the middle.
void PaintObject(TestHost& host) {
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      const double dx = (x - kWidth / 2) / 300.0, dy = (y - kHeight / 2) / 200.0;
      uint8_t* p = host.In(x, y);
      p[0] = uint8_t(x * 7), p[1] = uint8_t(y * 5), p[2] = uint8_t((x + y) * 3);
      p[3] = dx * dx + dy * dy <= 1.0 ? 255 : 0;
    }
  host.CopyInputToOutput();
}

// ---- Host habits -----------------------------------------------------------------

// An editor whose window lives on a thread of its own, which either answers
// its messages or hangs (a host that blocks its interface thread while the
// filter runs on another).
class EditorThread {
 public:
  explicit EditorThread(bool answers) : answers_(answers) {
    release_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ready_ = ready;
    thread_ = CreateThread(nullptr, 0, &EditorThread::Main, this, 0, &id_);
    WaitForSingleObject(ready, 10000);
    CloseHandle(ready);
  }
  ~EditorThread() {
    SetEvent(release_);
    PostThreadMessageW(id_, WM_QUIT, 0, 0);
    WaitForSingleObject(thread_, 10000);
    CloseHandle(thread_);
    CloseHandle(release_);
  }
  HWND window = nullptr, canvas = nullptr;

 private:
  static DWORD WINAPI Main(void* self) {
    auto* e = static_cast<EditorThread*>(self);
    e->window = CreateWindowExW(0, L"STATIC", L"Editor thread", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                900, 650, 300, 200, nullptr, nullptr, nullptr, nullptr);
    e->canvas = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, e->window,
                                nullptr, nullptr, nullptr);
    SetEvent(e->ready_);
    if (!e->answers_) {
      WaitForSingleObject(e->release_, 60000);
    } else {
      MSG msg;
      while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    }
    DestroyWindow(e->window);
    return 0;
  }
  bool answers_;
  HANDLE ready_ = nullptr, release_ = nullptr, thread_ = nullptr;
  DWORD id_ = 0;
};

// The first visible top-level window of a process.
HWND WindowOfProcess(DWORD pid) {
  struct Search {
    DWORD pid;
    HWND found;
  } search{pid, nullptr};
  EnumWindows(
      [](HWND h, LPARAM data) CALLBACK -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        DWORD owner = 0;
        GetWindowThreadProcessId(h, &owner);
        if (owner != s->pid || !IsWindowVisible(h) || GetParent(h) != nullptr) return TRUE;
        s->found = h;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

int16_t FailingPicker(host::ColorServicesInfo*) {
  ++g_script.hostPicks;
  return -30900;  // the host lacks the service after all
}
int16_t CancellingPicker(host::ColorServicesInfo*) {
  ++g_script.hostPicks;
  return host::kUserCanceledErr;
}
int16_t SuccessWithoutAPick(host::ColorServicesInfo*) {
  ++g_script.hostPicks;
  return 0;  // a cancelled pick reported as success: the colour is untouched
}

// The system's colour dialog, when it is open.
HWND ColourChooser() {
  return FindThreadWindow([](HWND h) {
    wchar_t name[16] = {};
    GetClassNameW(h, name, 16);
    return wcscmp(name, L"#32770") == 0 && GetDlgItem(h, kPreviewId) == nullptr;
  });
}

// The host's shortcuts: keyboard and message hooks of the thread, installed
// before the filter runs, that count the letters and take B for themselves.
int g_hostKeysSeen = 0;
LRESULT CALLBACK HostKeyboardHook(int code, WPARAM key, LPARAM info) {
  if (code == HC_ACTION && (key == 'A' || key == 'B')) {
    ++g_hostKeysSeen;
    if (key == 'B') return 1;
  }
  return CallNextHookEx(nullptr, code, key, info);
}
LRESULT CALLBACK HostMessageHook(int code, WPARAM flag, LPARAM info) {
  auto* msg = reinterpret_cast<MSG*>(info);
  if (code == HC_ACTION && msg->message == WM_KEYDOWN && (msg->wParam == 'A' || msg->wParam == 'B')) {
    ++g_hostKeysSeen;
    if (msg->wParam == 'B') msg->message = WM_NULL;
  }
  return CallNextHookEx(nullptr, code, flag, info);
}

void TypeKeys(const char* keys) {
  std::vector<INPUT> input;
  for (const char* k = keys; *k != 0; ++k)
    for (DWORD up : {DWORD(0), DWORD(KEYEVENTF_KEYUP)}) {
      INPUT i = {};
      i.type = INPUT_KEYBOARD;
      i.ki.wVk = WORD(*k);
      i.ki.dwFlags = up;
      input.push_back(i);
    }
  SendInput(UINT(input.size()), input.data(), sizeof(INPUT));
}

// A stored place in the bottom-right corner of the display: tests of other
// programs that read screen pixels at the top left are not covered.
void StorePlacementInTheCorner() {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kStoreKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return;
  for (const wchar_t* name : {L"X", L"Y"}) {
    const DWORD value = name[0] == L'X' ? 900 : 700;
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  }
  RegCloseKey(key);
}

class ModuleDialogTest : public ModuleFixture {
 protected:
  void SetUp() override {
    ModuleFixture::SetUp();
    RegDeleteTreeW(HKEY_CURRENT_USER, kStoreKey);
    StorePlacementInTheCorner();
    g_script = Script{};
    g_hostWindow = CreateWindowExW(0, L"STATIC", L"Test editor", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                   600, 500, 300, 200, nullptr, nullptr, nullptr, nullptr);
    g_hostCanvas = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100,
                                   g_hostWindow, nullptr, nullptr, nullptr);
  }
  void TearDown() override {
    DestroyWindow(g_hostWindow);
    RegDeleteTreeW(HKEY_CURRENT_USER, kStoreKey);
  }

  int16_t Call(int16_t selector, TestHost& host, intptr_t& data) {
    int16_t result = 777;
    module_->entry()(selector, &host.record(), &data, &result);
    return result;
  }

  // parameters, prepare, start (the script runs inside), continue, finish.
  int16_t Interactive(TestHost& host, FakeDescriptorHost& descriptors) {
    descriptors.Attach(host.record());
    descriptors.params.playInfo = host::kPlugInDialogDisplay;
    host.record().platformData = &platform_;
    platform_.hwnd = parentGiven_ ? parent_ : reinterpret_cast<intptr_t>(g_hostCanvas);
    host.record().colorServices = colorServices_;
    g_expectedOwner = expectedOwner_ != nullptr ? expectedOwner_ : g_hostWindow;
    // Before anything else: the dialog is there, owned by the editor's
    // window, which cannot be used meanwhile; the progress bar counts renders.
    g_script.steps.insert(g_script.steps.begin(), Step{"dialog opens", [] {
      HWND dialog = MainDialog();
      if (dialog == nullptr) return false;
      g_ownedByHost = GetWindow(dialog, GW_OWNER) == g_expectedOwner;
      g_hostDisabledWhileOpen = IsWindowEnabled(g_expectedOwner) == FALSE;
      HWND bar = GetDlgItem(dialog, kProgressId);
      g_progressProc = reinterpret_cast<WNDPROC>(
          SetWindowLongPtrW(bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountRenders)));
      return true;
    }});
    g_dialogFrontTicks = g_editorFrontTicks = g_foreignFrontTicks = 0;
    intptr_t data = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, Drive);
    int16_t result = Call(host::kSelectorParameters, host, data);
    if (result == 0) result = Call(host::kSelectorPrepare, host, data);
    if (result == 0) result = Call(host::kSelectorStart, host, data);
    KillTimer(nullptr, timer);
    if (result == 0) Call(host::kSelectorContinue, host, data);
    Call(host::kSelectorFinish, host, data);
    EXPECT_TRUE(IsWindowEnabled(g_expectedOwner)) << "the editor's window is usable again";
    return result;
  }

  // A replay without dialog of a recorded descriptor.
  std::vector<uint8_t> Replay(const std::vector<DescriptorEntry>& recorded) {
    TestHost host(kWidth, kHeight, 4, false);
    PaintObject(host);
    FakeDescriptorHost descriptors;
    descriptors.Attach(host.record());
    descriptors.params.playInfo = host::kPlugInDialogDontDisplay;
    descriptors.params.descriptor = descriptors.MakeDescriptor(recorded);
    intptr_t data = 0;
    EXPECT_EQ(Call(host::kSelectorPrepare, host, data), 0);
    EXPECT_EQ(Call(host::kSelectorStart, host, data), 0);
    Call(host::kSelectorFinish, host, data);
    return host.output();
  }

  void Then(std::string what, std::function<bool()> done) {
    g_script.steps.push_back({std::move(what), std::move(done)});
  }
  void ThenOnce(std::string what, std::function<void()> act) {
    Then(std::move(what), [act] {
      act();
      return true;
    });
  }
  // A hung editor that holds the foreground cannot always be made to give
  // it up; the dialog is still owned, modal and working.
  void AssertScriptRan(bool inFront = true) {
    ASSERT_TRUE(g_script.stuckAt.empty()) << "stuck at: " << g_script.stuckAt;
    ASSERT_EQ(g_script.next, g_script.steps.size());
    EXPECT_TRUE(g_ownedByHost);
    EXPECT_TRUE(g_hostDisabledWhileOpen);
    if (inFront) {
      // In front with the focus; the editor never comes back over it (the
      // system may take a moment to hand the foreground over).
      EXPECT_TRUE(g_dialogFrontTicks > 0 || g_foreignFrontTicks > 0);
      EXPECT_LT(g_editorFrontTicks, 10);
    }
  }

  host::PlatformData platform_{};
  // What the host hands over: its window (the canvas unless given) and its
  // colour services; the window the dialog must then belong to.
  bool parentGiven_ = false;
  intptr_t parent_ = 0;
  host::OSErr (*colorServices_)(host::ColorServicesInfo*) = PickColor;
  HWND expectedOwner_ = nullptr;
};

TEST_F(ModuleDialogTest, AWholeRunWritesWhatItRecordsAndMergesBursts) {
  int settled = 0, beforeBurst = 0;
  Then("first build", Quiet(&settled));
  ThenOnce("three Depth keys within 250 ms", [] {
    HWND depth = Item(kDepthId);
    for (int i = 0; i < 3; ++i) Key(depth, VK_RIGHT);
  });
  Then("one rebuild", Quiet(&beforeBurst));
  ThenOnce("mouse on Angle X's right arrow and the dial", [] {
    HWND angle = Item(kAngleXId);
    RECT r;
    GetClientRect(angle, &r);
    for (int i = 0; i < 4; ++i) Click(angle, r.right - 4, r.bottom / 2);
    HWND dial = Item(kDialId);
    GetClientRect(dial, &r);
    Click(dial, 2, r.bottom / 2);  // points the light to the left
  });
  Then("renders after them", Quiet(nullptr));
  ThenOnce("overlay on, lighting off", [] {
    PostMessageW(Item(kOverlayId), BM_CLICK, 0, 0);
    PostMessageW(Item(kLightingId), BM_CLICK, 0, 0);
  });
  Then("renders at once", Quiet(nullptr));
  ThenOnce("the overlay colour from the host's picker", [] {
    RECT r;
    GetClientRect(Item(kColorId), &r);
    Click(Item(kColorId), r.right / 2, r.bottom / 2);
  });
  Then("picked", [] { return g_script.hostPicks == 1; });
  ThenOnce("pan the preview", [] {
    HWND pane = Item(kPreviewId);
    PostMessageW(pane, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(200, 200));
    PostMessageW(pane, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(120, 150));
    PostMessageW(pane, WM_LBUTTONUP, 0, MAKELPARAM(120, 150));
  });
  ThenOnce("a Round change still waiting when OK is pressed", [] {
    Key(Item(1031), VK_LEFT);
    PostMessageW(MainDialog(), WM_COMMAND, IDOK, 0);
  });

  TestHost host(kWidth, kHeight, 4, false);
  PaintObject(host);
  std::vector<DescriptorEntry> recorded;
  {
    // One descriptor host at a time: they share the procedures' state.
    FakeDescriptorHost descriptors;
    ASSERT_EQ(Interactive(host, descriptors), 0);
    AssertScriptRan();
    EXPECT_EQ(descriptors.params.recordInfo, 0);
    recorded = FakeDescriptorHost::Contents(descriptors.params.descriptor);
  }
  EXPECT_EQ(beforeBurst, settled + 1) << "three Depth changes, one rebuild";

  std::vector<uint32_t> keys;
  for (const DescriptorEntry& e : recorded) keys.push_back(e.key);
  // Overlay on: its colour and opacity; lighting off: none of its values.
  EXPECT_EQ(keys, (std::vector<uint32_t>{FourCC("angX"), FourCC("angY"), FourCC("angZ"),
                                          FourCC("zooM"), FourCC("rouN"), FourCC("depT"),
                                          FourCC("oveR"), FourCC("colR"), FourCC("opaC"),
                                          FourCC("ligH"), FourCC("smoO")}));
  auto value = [&](const char (&key)[5]) {
    for (const DescriptorEntry& e : recorded)
      if (e.key == FourCC(key)) return e.value;
    return -9999;
  };
  EXPECT_EQ(value("depT"), 33);
  EXPECT_EQ(value("angX"), 4);
  EXPECT_EQ(value("rouN"), -1);
  EXPECT_EQ(value("colR"), 10 | 200 << 8 | 30 << 16);
  EXPECT_EQ(value("oveR"), 1);
  EXPECT_EQ(value("ligH"), 0);

  // Replayed without the dialog, the recording gives the same pixels.
  EXPECT_TRUE(host.output() == Replay(recorded)) << "the dialog wrote what it recorded";
}

TEST_F(ModuleDialogTest, OkBeforeTheFirstBuildStillWritesTheResult) {
  ThenOnce("OK at once", [] { PostMessageW(MainDialog(), WM_COMMAND, IDOK, 0); });
  TestHost host(kWidth, kHeight, 4, false);
  PaintObject(host);
  const std::vector<uint8_t> before = host.output();
  std::vector<DescriptorEntry> recorded;
  {
    FakeDescriptorHost descriptors;
    ASSERT_EQ(Interactive(host, descriptors), 0);
    AssertScriptRan();
    EXPECT_EQ(g_script.renders, 1) << "no preview came before OK's own render";
    recorded = FakeDescriptorHost::Contents(descriptors.params.descriptor);
  }
  EXPECT_FALSE(host.output() == before);
  EXPECT_TRUE(host.output() == Replay(recorded));
}

TEST_F(ModuleDialogTest, CancelWritesNothingAndKeepsTheLastUsedValues) {
  Then("first build", Quiet(nullptr));
  ThenOnce("change and cancel", [] {
    Key(Item(kDepthId), VK_RIGHT);
    PostMessageW(MainDialog(), WM_COMMAND, IDCANCEL, 0);
  });
  TestHost host(kWidth, kHeight, 4, false);
  PaintObject(host);
  const std::vector<uint8_t> before = host.output();
  FakeDescriptorHost descriptors;
  EXPECT_EQ(Interactive(host, descriptors), -128);
  AssertScriptRan();
  EXPECT_TRUE(host.output() == before);
  HKEY key = nullptr;
  DWORD depth = 0, size = sizeof depth;
  const bool stored =
      RegOpenKeyExW(HKEY_CURRENT_USER, kStoreKey, 0, KEY_READ, &key) == ERROR_SUCCESS &&
      RegQueryValueExW(key, L"Depth", nullptr, nullptr, reinterpret_cast<BYTE*>(&depth), &size) ==
          ERROR_SUCCESS;
  if (key != nullptr) RegCloseKey(key);
  EXPECT_FALSE(stored) << "a cancelled run saves no values";
}

TEST_F(ModuleDialogTest, PresetsLanguageAndAboutThroughTheMenus) {
  Then("first build", Quiet(nullptr));
  ThenOnce("Presets, Save preset...", [] { PostMessageW(Item(kPresetsId), BM_CLICK, 0, 0); });
  Then("menu open", [] { return MenuKeys({VK_DOWN, VK_RETURN}); });
  Then("name it", [] {
    HWND input = WindowTitled(L"Save preset");
    if (input == nullptr) return false;
    SetDlgItemTextW(input, 1026, L"Steep");
    PostMessageW(input, WM_COMMAND, IDOK, 0);
    return true;
  });
  Then("saved; move Depth away", [] {
    if (MainDialog() == nullptr || WindowTitled(L"Save preset") != nullptr) return false;
    for (int i = 0; i < 10; ++i) Key(Item(kDepthId), VK_LEFT);
    return true;
  });
  Then("settled", Quiet(nullptr));
  ThenOnce("apply the preset", [] { PostMessageW(Item(kPresetsId), BM_CLICK, 0, 0); });
  // Save, Manage, Reset, Last used, then the preset.
  Then("menu open", [] { return MenuKeys({VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}); });
  Then("Depth back", [] {
    return SendMessageW(Item(kDepthId), TBM_GETPOS, 0, 0) == 30;
  });
  ThenOnce("manage presets", [] { PostMessageW(Item(kPresetsId), BM_CLICK, 0, 0); });
  Then("menu open", [] { return MenuKeys({VK_DOWN, VK_DOWN, VK_RETURN}); });
  Then("delete it, answer yes", [] {
    HWND manage = WindowTitled(L"Manage presets");
    if (manage == nullptr) return false;
    SendDlgItemMessageW(manage, 1027, LB_SETCURSEL, 0, 0);
    PostMessageW(manage, WM_COMMAND, MAKEWPARAM(1029, BN_CLICKED), 0);
    return true;
  });
  Then("confirmed", [] {
    HWND ask = FindThreadWindow([](HWND h) { return GetDlgItem(h, 1141) != nullptr; });
    if (ask == nullptr) return false;
    PostMessageW(ask, WM_COMMAND, MAKEWPARAM(1139, BN_CLICKED), 0);
    return true;
  });
  Then("closed", [] {
    HWND manage = WindowTitled(L"Manage presets");
    if (manage == nullptr) return false;
    if (SendDlgItemMessageW(manage, 1027, LB_GETCOUNT, 0, 0) != 0) return false;
    PostMessageW(manage, WM_COMMAND, IDCANCEL, 0);
    return true;
  });
  ThenOnce("Menu, Language, the first file", [] { PostMessageW(Item(kMenuId), BM_CLICK, 0, 0); });
  Then("menu open", [] {
    HWND dialog = MainDialog();
    return dialog != nullptr && WindowTitled(L"Manage presets") == nullptr &&
           MenuKeys({VK_DOWN, VK_DOWN, VK_RIGHT, VK_RETURN});
  });
  Then("retitled at once", [] { return TextOf(Item(kDepthLabelId)) == L"Tiefe"; });
  ThenOnce("the menu speaks it too", [] { PostMessageW(Item(kMenuId), BM_CLICK, 0, 0); });
  Then("German menu; About...", [] {
    HWND menu = OpenMenu();
    if (menu == nullptr || !IsWindowVisible(menu)) return false;
    HMENU handle = reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0));
    wchar_t text[64] = {};
    GetMenuStringW(handle, 0, text, 64, MF_BYPOSITION);
    if (wcscmp(text, L"Oberfl\u00e4che") != 0) return false;
    return MenuKeys({VK_UP, VK_RETURN});
  });
  Then("about box", [] {
    HWND about = FindThreadWindow([](HWND h) { return GetDlgItem(h, 1143) != nullptr; });
    if (about == nullptr) return false;
    PostMessageW(about, WM_COMMAND, IDCANCEL, 0);
    return true;
  });
  Then("cancel", [] {
    if (FindThreadWindow([](HWND h) { return GetDlgItem(h, 1143) != nullptr; })) return false;
    PostMessageW(MainDialog(), WM_COMMAND, IDCANCEL, 0);
    return true;
  });

  TestHost host(kWidth, kHeight, 4, false);
  PaintObject(host);
  FakeDescriptorHost descriptors;
  EXPECT_EQ(Interactive(host, descriptors), -128);
  AssertScriptRan();
}

// ---- Host habits ------------------------------------------------------------------

TEST_F(ModuleDialogTest, HostWithoutAWindowStillGetsAModalDialogOverItsActiveWindow) {
  parentGiven_ = true;
  parent_ = 0;
  SetForegroundWindow(g_hostWindow);
  SetActiveWindow(g_hostWindow);
  // No stored placement: the first opening, in the middle of the editor's
  // monitor.
  RegDeleteTreeW(HKEY_CURRENT_USER, kStoreKey);
  static RECT s_dialog, s_work;
  Then("placed", [] {
    GetWindowRect(MainDialog(), &s_dialog);
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    GetMonitorInfoW(MonitorFromWindow(g_hostWindow, MONITOR_DEFAULTTONEAREST), &info);
    s_work = info.rcWork;
    return true;
  });
  Then("first build", Quiet(nullptr));
  ThenOnce("cancel", [] { PostMessageW(MainDialog(), WM_COMMAND, IDCANCEL, 0); });
  TestHost host(kWidth, kHeight, 4, false);
  PaintObject(host);
  FakeDescriptorHost descriptors;
  EXPECT_EQ(Interactive(host, descriptors), -128);
  AssertScriptRan();
  const int width = s_dialog.right - s_dialog.left, height = s_dialog.bottom - s_dialog.top;
  EXPECT_GE(width, 905);
  EXPECT_NEAR(s_dialog.left - s_work.left, (s_work.right - s_work.left - width) / 2, 1);
  EXPECT_NEAR(s_dialog.top - s_work.top, (s_work.bottom - s_work.top - height) / 2, 1);
}

TEST_F(ModuleDialogTest, EditorWindowOfAnotherThreadOwnsTheDialogAndWaitsDisabled) {
  EditorThread editor(true);
  ASSERT_NE(editor.canvas, nullptr);
  parentGiven_ = true;
  parent_ = reinterpret_cast<intptr_t>(editor.canvas);
  expectedOwner_ = editor.window;
  Then("first build", Quiet(nullptr));
  ThenOnce("OK", [] { PostMessageW(MainDialog(), WM_COMMAND, IDOK, 0); });
  TestHost host(kWidth, kHeight, 4, false);
  PaintObject(host);
  FakeDescriptorHost descriptors;
  EXPECT_EQ(Interactive(host, descriptors), 0);
  AssertScriptRan();
}

TEST_F(ModuleDialogTest, EditorThreadThatHangsIsNotWaitedFor) {
  EditorThread editor(false);
  ASSERT_NE(editor.window, nullptr);
  parentGiven_ = true;
  parent_ = reinterpret_cast<intptr_t>(editor.window);
  SetForegroundWindow(g_hostWindow);
  SetActiveWindow(g_hostWindow);
  // Disabling the hung window would wait for its thread for ever: the dialog
  // goes to the window the user works in instead.
  Then("first build", Quiet(nullptr));
  ThenOnce("cancel", [] { PostMessageW(MainDialog(), WM_COMMAND, IDCANCEL, 0); });
  TestHost host(kWidth, kHeight, 4, false);
  PaintObject(host);
  FakeDescriptorHost descriptors;
  EXPECT_EQ(Interactive(host, descriptors), -128);
  AssertScriptRan(false);
}

TEST_F(ModuleDialogTest, EditorWindowOfAnotherProcessOwnsTheDialog) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION editor = {};
  wchar_t command[] = L"notepad.exe";
  ASSERT_TRUE(CreateProcessW(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &editor));
  WaitForInputIdle(editor.hProcess, 20000);
  HWND window = nullptr;
  for (int i = 0; i < 200 && window == nullptr; ++i, Sleep(50))
    window = WindowOfProcess(editor.dwProcessId);
  if (window != nullptr) {
    // Out of the way of other programs' windows on the display.
    SetWindowPos(window, nullptr, 900, 650, 300, 200, SWP_NOZORDER | SWP_NOACTIVATE);
    parentGiven_ = true;
    parent_ = reinterpret_cast<intptr_t>(window);
    expectedOwner_ = window;
    Then("first build", Quiet(nullptr));
    ThenOnce("cancel", [] { PostMessageW(MainDialog(), WM_COMMAND, IDCANCEL, 0); });
    TestHost host(kWidth, kHeight, 4, false);
    PaintObject(host);
    FakeDescriptorHost descriptors;
    EXPECT_EQ(Interactive(host, descriptors), -128);
    AssertScriptRan();
  }
  TerminateProcess(editor.hProcess, 0);
  WaitForSingleObject(editor.hProcess, 10000);
  CloseHandle(editor.hThread);
  CloseHandle(editor.hProcess);
  ASSERT_NE(window, nullptr) << "the other process showed no window";
}

// Colour services missing or failing bring up the system's chooser, owned by
// the dialog; a cancel, or a success that hands the colour back unchanged,
// changes nothing and renders nothing.
TEST_F(ModuleDialogTest, ColourServicesMissingFailingOrUnchangedKeepTheSwatch) {
  struct Case {
    const char* what;
    host::OSErr (*picker)(host::ColorServicesInfo*);
    bool systemChooser;
  };
  const Case cases[] = {{"no colour services", nullptr, true},
                        {"failing", FailingPicker, true},
                        {"cancelled", CancellingPicker, false},
                        {"success without a change", SuccessWithoutAPick, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RegDeleteTreeW(HKEY_CURRENT_USER, kStoreKey);  // each run from the same values
    StorePlacementInTheCorner();
    g_script = Script{};
    colorServices_ = c.picker;
    static bool s_chooserOwned, s_chooserSeen;
    static int s_before, s_after;
    s_chooserOwned = s_chooserSeen = false;
    Then("first build", Quiet(nullptr));
    ThenOnce("overlay on", [] { PostMessageW(Item(kOverlayId), BM_CLICK, 0, 0); });
    Then("rendered", Quiet(&s_before));
    ThenOnce("click the swatch", [] {
      RECT r;
      GetClientRect(Item(kColorId), &r);
      Click(Item(kColorId), r.right / 2, r.bottom / 2);
    });
    if (c.systemChooser) {
      Then("the system's chooser, cancelled", [] {
        HWND chooser = ColourChooser();
        if (chooser == nullptr || !IsWindowVisible(chooser)) return false;
        s_chooserSeen = true;
        s_chooserOwned = GetWindow(chooser, GW_OWNER) == MainDialog();
        PostMessageW(chooser, WM_COMMAND, IDCANCEL, 0);
        return true;
      });
    }
    Then("settled", [] { return ColourChooser() == nullptr; });
    Then("nothing rendered", Quiet(&s_after));
    ThenOnce("no chooser; OK", [] {
      if (ColourChooser() != nullptr) s_chooserSeen = true;
      PostMessageW(MainDialog(), WM_COMMAND, IDOK, 0);
    });
    TestHost host(kWidth, kHeight, 4, false);
    PaintObject(host);
    std::vector<DescriptorEntry> recorded;
    {
      FakeDescriptorHost descriptors;
      ASSERT_EQ(Interactive(host, descriptors), 0);
      AssertScriptRan();
      recorded = FakeDescriptorHost::Contents(descriptors.params.descriptor);
    }
    EXPECT_EQ(s_chooserSeen, c.systemChooser);
    EXPECT_EQ(s_chooserOwned, c.systemChooser);
    EXPECT_EQ(g_script.hostPicks, c.picker != nullptr ? 1 : 0);
    EXPECT_EQ(s_after, s_before) << "a colour that did not change renders nothing";
    int32_t colour = -1;
    for (const DescriptorEntry& e : recorded)
      if (e.key == FourCC("colR")) colour = e.value;
    EXPECT_EQ(colour, int32_t(EffectSettings::Defaults().color)) << "the swatch kept its colour";
  }
}

TEST_F(ModuleDialogTest, TypingAPresetNameNeverReachesTheHostsShortcuts) {
  g_hostKeysSeen = 0;
  HHOOK keyboard = SetWindowsHookExW(WH_KEYBOARD, HostKeyboardHook, nullptr, GetCurrentThreadId());
  HHOOK messages = SetWindowsHookExW(WH_GETMESSAGE, HostMessageHook, nullptr, GetCurrentThreadId());
  ASSERT_NE(keyboard, nullptr);
  ASSERT_NE(messages, nullptr);
  static std::wstring s_typed;
  s_typed.clear();
  Then("first build", Quiet(nullptr));
  ThenOnce("Presets, Save preset...", [] { PostMessageW(Item(kPresetsId), BM_CLICK, 0, 0); });
  Then("menu open", [] { return MenuKeys({VK_DOWN, VK_RETURN}); });
  // Real keystrokes go to the foreground window: when another program on the
  // display (a parallel test) has taken it, the name is typed again.
  static DWORD s_typedAt;
  s_typedAt = 0;
  Then("typed", [] {
    HWND input = WindowTitled(L"Save preset");
    if (input == nullptr || !IsWindowVisible(input)) return false;
    HWND edit = GetDlgItem(input, 1026);
    s_typed = TextOf(edit);
    if (s_typed == L"ab") {
      PostMessageW(input, WM_COMMAND, IDCANCEL, 0);
      return true;
    }
    if (s_typedAt != 0 && GetTickCount() - s_typedAt < 700) return false;
    SetWindowTextW(edit, L"");
    SetForegroundWindow(input);
    SetFocus(edit);
    if (GetForegroundWindow() != input) return false;
    TypeKeys("AB");
    s_typedAt = GetTickCount();
    return false;
  });
  Then("cancel", [] {
    if (WindowTitled(L"Save preset") != nullptr) return false;
    PostMessageW(MainDialog(), WM_COMMAND, IDCANCEL, 0);
    return true;
  });
  TestHost host(kWidth, kHeight, 4, false);
  PaintObject(host);
  FakeDescriptorHost descriptors;
  EXPECT_EQ(Interactive(host, descriptors), -128);
  UnhookWindowsHookEx(messages);
  UnhookWindowsHookEx(keyboard);
  AssertScriptRan();
  EXPECT_EQ(s_typed, L"ab");
  EXPECT_EQ(g_hostKeysSeen, 0) << "the host's hooks saw the keys typed into the dialog";
}

}  // namespace
}  // namespace tessaro::testing
