// The message, name-entry and preset dialogs run modally and are driven the way
// a user drives them: keys and button presses posted into their message loop
// by a thread timer.  Every run is bounded: a deadline ends whatever dialog is
// still open with a result no dialog gives by itself.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/interface_hooks.h"
#include "host/user_message.h"
#include "i18n/language.h"
#include "settings/effect_settings.h"
#include "settings/file_settings_store.h"
#include "settings/presets.h"
#include "settings/product_identity.h"
#include "tests/support/language_folder.h"
#include "ui/dialog/interface_styles.h"
#include "ui/dialog/product_interface.h"
#include "ui/toolkit/dialog_template_win.h"
#include "ui/toolkit/small_dialogs_win.h"

namespace tessaro {
namespace {

using Strings = std::vector<std::string>;
constexpr INT_PTR kTimedOut = 99;
constexpr UINT kTickMs = 60;
constexpr DWORD kDeadlineMs = 8000;

// ---- Finding and driving the dialogs -------------------------------------------

template <class T>
T* OpenDialog() {
  struct Search {
    T* found = nullptr;
  } search;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND hwnd, LPARAM data) CALLBACK -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        auto* dialog = dynamic_cast<T*>(CWnd::FromHandle(hwnd));
        if (dialog != nullptr && IsWindowVisible(hwnd)) {
          s->found = dialog;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Steps run in order, each once its dialog is open; the deadline ends every
// dialog of ours that is still open.
struct Step {
  std::function<HWND()> ready;  // the window to act on, or null to wait
  std::function<void(HWND)> act;
};

class Script {
 public:
  explicit Script(std::vector<Step> steps) : steps_(std::move(steps)) {
    current_ = this;
    start_ = GetTickCount();
    timer_ = SetTimer(nullptr, 0, kTickMs, &Script::Tick);
  }
  ~Script() {
    KillTimer(nullptr, timer_);
    current_ = nullptr;
  }
  bool Finished() const { return next_ == steps_.size(); }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    Script* s = current_;
    if (s == nullptr) return;
    if (GetTickCount() - s->start_ > kDeadlineMs) {
      while (auto* dialog = OpenDialog<CSmallToolDlg>()) {
        dialog->EndDialog(kTimedOut);
        dialog->ShowWindow(SW_HIDE);
      }
      return;
    }
    if (s->next_ >= s->steps_.size()) return;
    const Step& step = s->steps_[s->next_];
    if (HWND target = step.ready()) {
      ++s->next_;
      step.act(target);
    }
  }

  static Script* current_;
  std::vector<Step> steps_;
  size_t next_ = 0;
  DWORD start_ = 0;
  UINT_PTR timer_ = 0;
};
Script* Script::current_ = nullptr;

template <class T>
std::function<HWND()> When() {
  return [] {
    T* dialog = OpenDialog<T>();
    return dialog != nullptr ? dialog->Hwnd() : nullptr;
  };
}

// The preset list once no question is open over it.
std::function<HWND()> WhenListAlone() {
  return [] {
    if (OpenDialog<CMessageDlg>() != nullptr) return HWND(nullptr);
    CManagePresetsDlg* dialog = OpenDialog<CManagePresetsDlg>();
    return dialog != nullptr ? dialog->Hwnd() : nullptr;
  };
}

// A key as the keyboard sends it: to the window with the focus.
void PressKey(HWND dialog, UINT key) {
  HWND focus = GetFocus();
  HWND target = focus != nullptr && (focus == dialog || IsChild(dialog, focus)) ? focus : dialog;
  PostMessageW(target, WM_KEYDOWN, key, 1);
  PostMessageW(target, WM_KEYUP, key, LPARAM(0xC0000001u));
}

void Type(HWND dialog, int id, const std::wstring& text) {
  HWND edit = GetDlgItem(dialog, id);
  for (wchar_t c : text) PostMessageW(edit, WM_CHAR, WPARAM(c), 1);
}

// A press and release in the middle of the button.
void ClickButton(HWND dialog, int id) {
  HWND button = GetDlgItem(dialog, id);
  RECT r;
  GetClientRect(button, &r);
  const LPARAM at = MAKELPARAM(r.right / 2, r.bottom / 2);
  PostMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(button, WM_LBUTTONUP, 0, at);
}

std::wstring TextOf(HWND dialog, int id) {
  wchar_t text[256] = {};
  GetDlgItemTextW(dialog, id, text, 256);
  return text;
}

bool Shown(HWND dialog, int id) { return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE; }

// The item's place in pixels as the template puts it: the platform converts
// the position and the size each on their own.
RECT TemplatePlace(HWND dialog, int x, int y, int cx, int cy) {
  RECT r = {x, y, cx, cy};
  MapDialogRect(dialog, &r);
  return {r.left, r.top, r.left + r.right, r.top + r.bottom};
}

RECT PlaceOf(HWND dialog, int id) {
  RECT r;
  GetWindowRect(GetDlgItem(dialog, id), &r);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

::testing::AssertionResult SameRect(const RECT& a, const RECT& b) {
  if (a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "(" << a.left << "," << a.top << "," << a.right << ","
                                       << a.bottom << ") instead of (" << b.left << "," << b.top
                                       << "," << b.right << "," << b.bottom << ")";
}

Strings ListItems(HWND dialog) {
  Strings items;
  HWND list = GetDlgItem(dialog, kPresetListId);
  const int n = int(SendMessageW(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < n; ++i) {
    wchar_t text[256] = {};
    SendMessageW(list, LB_GETTEXT, WPARAM(i), reinterpret_cast<LPARAM>(text));
    items.push_back(WideToUtf8(text));
  }
  return items;
}

std::string TempStorePath() {
  static int counter = 0;
  char folder[MAX_PATH + 1] = {};
  GetTempPathA(MAX_PATH, folder);
  return std::string(folder) + "tessaro-small-dialogs-" + std::to_string(GetCurrentProcessId()) +
         "-" + std::to_string(++counter) + ".txt";
}

class SmallDialogsWin : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetInterfaceColors();
    // The module installs these before its first call; so do the tests.
    host::InstallInterfaceHooks(ProductInterfaceHooks());
  }
  void TearDown() override {
    // Back to the built-in texts for every later test.
    testing::LanguageFolder none;
    i18n::TheLanguage().LoadFrom("Quelmark Tessaro", 0, none.Folder());
  }
};

// ---- The message dialog ------------------------------------------------------------

TEST_F(SmallDialogsWin, YesNoSetShowsYesAndNoInTheirPlacesAndAnswers) {
  struct Case {
    const char* what;
    std::function<void(HWND)> act;
    int expected;
  };
  const Case cases[] = {
      {"Enter", [](HWND d) { PressKey(d, VK_RETURN); }, kResultYes},
      {"Enter on No", [](HWND d) { SetFocus(GetDlgItem(d, 1140)); PressKey(d, VK_RETURN); },
       kResultYes},
      {"Escape", [](HWND d) { PressKey(d, VK_ESCAPE); }, kResultCancel},
      {"No", [](HWND d) { ClickButton(d, 1140); }, kResultNo},
      {"Yes", [](HWND d) { ClickButton(d, 1139); }, kResultYes},
      {"close button", [](HWND d) { ClickButton(d, kCaptionCloseId); }, kResultCancel},
  };
  for (const Case& c : cases) {
    bool looked = false;
    Script script({{When<CMessageDlg>(), [&](HWND d) {
                      looked = true;
                      EXPECT_FALSE(Shown(d, 1138));
                      EXPECT_TRUE(Shown(d, 1139));
                      EXPECT_TRUE(Shown(d, 1140));
                      EXPECT_EQ(TextOf(d, 1139), L"Yes");
                      EXPECT_EQ(TextOf(d, 1140), L"No");
                      EXPECT_TRUE(SameRect(PlaceOf(d, 1139), TemplatePlace(d, 135, 60, 74, 17)));
                      EXPECT_TRUE(SameRect(PlaceOf(d, 1140), TemplatePlace(d, 214, 60, 74, 17)));
                      EXPECT_EQ(TextOf(d, kMessageTextId), L"Remove it?");
                      EXPECT_EQ(TextOf(d, kCaptionId), L"Tessaro");
                      c.act(d);
                    }}});
    EXPECT_EQ(host::ShowMessageDlg("Remove it?", host::kIconQuestion, host::kButtonsYesNo),
              c.expected)
        << c.what;
    EXPECT_TRUE(looked) << c.what;
  }
}

TEST_F(SmallDialogsWin, OkSetShowsOneOkAtTheRight) {
  struct Case {
    const char* what;
    std::function<void(HWND)> act;
    int expected;
  };
  const Case cases[] = {
      {"Enter", [](HWND d) { PressKey(d, VK_RETURN); }, kResultOk},
      {"OK", [](HWND d) { ClickButton(d, 1140); }, kResultOk},
      {"Escape", [](HWND d) { PressKey(d, VK_ESCAPE); }, kResultCancel},
  };
  for (const Case& c : cases) {
    Script script({{When<CMessageDlg>(), [&](HWND d) {
                      EXPECT_FALSE(Shown(d, 1138));
                      EXPECT_FALSE(Shown(d, 1139));
                      EXPECT_TRUE(Shown(d, 1140));
                      EXPECT_EQ(TextOf(d, 1140), L"OK");
                      c.act(d);
                    }}});
    EXPECT_EQ(host::ShowMessageDlg("Empty!", host::kIconWarning, host::kButtonsOk), c.expected)
        << c.what;
    EXPECT_TRUE(script.Finished()) << c.what;
  }
}

TEST_F(SmallDialogsWin, MessageIsCentredOnItsOwnerWhichWaitsDisabled) {
  CDialogTemplate t(WS_POPUP | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0, 400, 260, L"Owner");
  t.AddItem(DialogItemClass::kStatic, kCaptionId, L"Owner", SS_LEFT, 2, 2, 396, 11);
  CToolDlg owner;
  owner.SetSettingsStoreOpener(OpenProductSettingsStore);
  ASSERT_TRUE(owner.Create(t.Get(), nullptr));
  owner.SetWindowPos(nullptr, 60, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  bool ownerEnabled = true;
  POINT ownerCentre = {}, centre = {};
  Script script({{When<CMessageDlg>(), [&](HWND d) {
                    ownerEnabled = owner.IsEnabled();
                    const RECT o = owner.GetWindowRect();
                    RECT m;
                    GetWindowRect(d, &m);
                    ownerCentre = {(o.left + o.right) / 2, (o.top + o.bottom) / 2};
                    centre = {(m.left + m.right) / 2, (m.top + m.bottom) / 2};
                    EXPECT_EQ(GetWindow(d, GW_OWNER), owner.Hwnd());
                    PressKey(d, VK_ESCAPE);
                  }}});
  EXPECT_EQ(host::ShowMessageDlg("Owned", host::kIconWarning, host::kButtonsOk,
                                 reinterpret_cast<intptr_t>(owner.Hwnd())),
            kResultCancel);
  EXPECT_FALSE(ownerEnabled);
  EXPECT_TRUE(owner.IsEnabled());
  EXPECT_NEAR(centre.x, ownerCentre.x, 1);
  EXPECT_NEAR(centre.y, ownerCentre.y, 1);
  owner.DestroyWindow();
}

// ---- Texts of a language file -----------------------------------------------------------

TEST_F(SmallDialogsWin, LanguageFileRenamesButtonsAndLabels) {
  testing::LanguageFolder folder;
  folder.Write("de.lng",
               "[Info]\nprogram=Quelmark Tessaro\nname=Deutsch\n"
               "[Msg]\nyes=Jawohl\n"
               "[Settings]\n1004=Preset sichern\n1025=Name:\n2=Schliessen\n"
               "[Manage_presets]\n1029=Entfernen\n");
  i18n::TheLanguage().LoadFrom("Quelmark Tessaro", 0, folder.Folder());
  ASSERT_TRUE(i18n::TheLanguage().Select("Deutsch"));

  std::wstring yes;
  Script message({{When<CMessageDlg>(), [&](HWND d) {
                     yes = TextOf(d, 1139);
                     PressKey(d, VK_RETURN);
                   }}});
  EXPECT_EQ(host::ShowMessageDlg("?", host::kIconQuestion, host::kButtonsYesNo), kResultYes);
  EXPECT_EQ(yes, L"Jawohl");

  std::wstring title, label, close, ok;
  CInputDlg input;
  Script inputScript({{When<CInputDlg>(), [&](HWND d) {
                         title = TextOf(d, kCaptionId);
                         label = TextOf(d, kPresetNameLabelId);
                         close = TextOf(d, kResultCancel);
                         ok = TextOf(d, kResultOk);
                         PressKey(d, VK_ESCAPE);
                       }}});
  EXPECT_EQ(input.Run(nullptr), kResultCancel);
  EXPECT_EQ(title, L"Preset sichern");
  EXPECT_EQ(label, L"Name:");
  EXPECT_EQ(close, L"Schliessen");
  EXPECT_EQ(ok, L"OK") << "a control the file does not name keeps its text";
}

// ---- The name entry -----------------------------------------------------------------

TEST_F(SmallDialogsWin, InputTakesTheTextOnlyWhenConfirmed) {
  struct Case {
    const char* what;
    std::function<void(HWND)> finish;
    INT_PTR expected;
    std::string text;
  };
  const Case cases[] = {
      {"Close", [](HWND d) { ClickButton(d, kResultCancel); }, kResultCancel, ""},
      {"close button", [](HWND d) { ClickButton(d, kCaptionCloseId); }, kResultCancel, ""},
      {"Escape", [](HWND d) { PressKey(d, VK_ESCAPE); }, kResultCancel, ""},
      {"OK", [](HWND d) { ClickButton(d, kResultOk); }, kResultOk, "Soft"},
      {"Enter", [](HWND d) { PressKey(d, VK_RETURN); }, kResultOk, "Soft"},
  };
  for (const Case& c : cases) {
    CInputDlg input;
    std::wstring before;
    Script script({{When<CInputDlg>(),
                    [&](HWND d) {
                      before = TextOf(d, kPresetNameEditId);
                      Type(d, kPresetNameEditId, L"Soft");
                    }},
                   {When<CInputDlg>(), [&](HWND d) { c.finish(d); }}});
    EXPECT_EQ(input.Run(nullptr), c.expected) << c.what;
    EXPECT_EQ(before, L"") << c.what;
    EXPECT_EQ(input.Text(), c.text) << c.what;
  }
}

// ---- The preset list -----------------------------------------------------------------

class PresetListWin : public SmallDialogsWin {
 protected:
  void SetUp() override {
    SmallDialogsWin::SetUp();
    path_ = TempStorePath();
    store_ = std::make_unique<FileSettingsStore>(path_);
    for (const char* name : {"Soft", "Hard", "Medium", "Soft 2"})
      ASSERT_TRUE(SaveEffectSettings(*store_, name, EffectSettings{}));
  }
  void TearDown() override {
    store_.reset();
    std::remove(path_.c_str());
    std::remove((path_ + ".tmp").c_str());
    SmallDialogsWin::TearDown();
  }
  Strings Stored() const {
    Strings names = ListPresets(*store_);
    std::sort(names.begin(), names.end());
    return names;
  }

  std::string path_;
  std::unique_ptr<FileSettingsStore> store_;
};

TEST_F(PresetListWin, DeleteAsksFirstAndRemovesExactlyTheSelectedName) {
  CManagePresetsDlg dialog(store_.get());
  Strings shown, afterNo, afterYes;
  std::wstring question;
  bool askedWithoutSelection = false;
  int waited = 0;
  Script script({
      {WhenListAlone(),
       [&](HWND d) {
         shown = ListItems(d);
         ClickButton(d, kDeletePresetId);  // nothing selected yet
       }},
      // A few ticks for a question that must not come.
      {[&]() -> HWND {
         askedWithoutSelection |= OpenDialog<CMessageDlg>() != nullptr;
         return ++waited > 4 ? dialog.Hwnd() : nullptr;
       },
       [&](HWND d) {
         PressKey(d, VK_RETURN);  // Enter does nothing here
         SendDlgItemMessageW(d, kPresetListId, LB_SETCURSEL, 2, 0);  // "Soft"
         ClickButton(d, kDeletePresetId);
       }},
      {When<CMessageDlg>(),
       [&](HWND m) {
         question = TextOf(m, kMessageTextId);
         EXPECT_TRUE(Shown(m, 1139) && Shown(m, 1140) && !Shown(m, 1138));
         ClickButton(m, 1140);  // No
       }},
      {WhenListAlone(),
       [&](HWND d) {
         afterNo = ListItems(d);
         ClickButton(d, kDeletePresetId);  // still "Soft"
       }},
      {When<CMessageDlg>(), [&](HWND m) { PressKey(m, VK_RETURN); }},  // Yes
      {WhenListAlone(),
       [&](HWND d) {
         afterYes = ListItems(d);
         PressKey(d, VK_ESCAPE);
       }},
  });
  EXPECT_EQ(dialog.Run(nullptr), kResultCancel);
  EXPECT_TRUE(script.Finished());
  EXPECT_EQ(shown, (Strings{"Hard", "Medium", "Soft", "Soft 2"})) << "sorted, whatever the store";
  EXPECT_FALSE(askedWithoutSelection);
  EXPECT_EQ(question, L"Do you want remove selected preset?");
  EXPECT_EQ(afterNo, shown);
  EXPECT_EQ(afterYes, (Strings{"Hard", "Medium", "Soft 2"}));
  EXPECT_EQ(Stored(), (Strings{"Hard", "Medium", "Soft 2"}));
  Strings names = dialog.Names();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (Strings{"Hard", "Medium", "Soft 2"}));
}

}  // namespace
}  // namespace tessaro
