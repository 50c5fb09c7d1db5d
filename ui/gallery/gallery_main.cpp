// The window gallery: a resizable tool dialog with the skinned controls (style
// bars, buttons, slider, dial, colour swatches, progress bar, label, link and
// picture), and a small tool dialog beside it that rolls up.  Options let a
// script put both into the states worth a screenshot:
//
//   --style N          button style of the interface (0 Flat, 9 Chrome, 100 Aqua)
//   --contrast N       background stripe contrast
//   --grow DX DY       enlarge the gallery once shown (the anchors at work)
//   --roll-up          roll the small dialog up
//   --pressed          show the Aqua bar pressed
//   --ready-file PATH  written once everything is shown and painted
//   --linger MS        close this long after that (default: stay open)
//   --dialog NAME      show one small dialog instead: message (a question),
//                      message-ok (a warning), input, presets, presets-ask
//                      (the preset list asking before a deletion), about
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fstream>
#include <string>

#include "image/dib.h"
#include "resources/resource_ids.h"
#include "host/user_message.h"
#include "settings/effect_settings.h"
#include "settings/file_settings_store.h"
#include "settings/presets.h"
#include "ui/dialog/about_dlg_win.h"
#include "ui/dialog/interface_styles.h"
#include "ui/dialog/paint_surface.h"
#include "ui/toolkit/angle_ctrl_win.h"
#include "ui/toolkit/button_st_win.h"
#include "ui/toolkit/controls_win.h"
#include "ui/toolkit/dc_win.h"
#include "ui/toolkit/dialog_template_win.h"
#include "ui/toolkit/dpi_win.h"
#include "ui/toolkit/icon_slider_win.h"
#include "ui/toolkit/progress_st_win.h"
#include "ui/toolkit/small_dialogs_win.h"
#include "ui/toolkit/static_controls_win.h"
#include "ui/toolkit/tool_dlg_win.h"

namespace tessaro {
namespace {

struct GalleryOptions {
  int style = -1;
  int contrast = -9999;
  int growX = 0, growY = 0;
  bool rollUp = false;
  bool pressed = false;
  std::string readyFile;
  int lingerMs = 0;
  std::string dialog;
};

constexpr int kStyleBarIds[3] = {2001, 2002, 2003};
constexpr int kCheckId = 2010, kSliderId = 2011, kProgressId = 2012, kLabelId = 2000;
constexpr int kIconButtonId = 2013, kDisabledButtonId = 2014, kDialId = 2015;
constexpr int kLinkId = 2019, kPictureId = 2020;
constexpr int kSwatchIds[3] = {2016, 2017, 2018};
constexpr uint32_t kSwatchColors[3] = {0xFFD7AE, 0x000080, 0x40A020};
constexpr int kSmallTextId = 3000;
constexpr UINT_PTR kShownTimer = 1, kLingerTimer = 2;

// Standard controls paint their background in the system colour; on the
// striped frame a plain window-coloured background looks less out of place
// until the skinned controls exist.
LRESULT ColourStaticBackground(WPARAM dc) {
  static HBRUSH brush = CreateSolidBrush(GetInterfaceSettings().windowColor);
  SetBkMode(reinterpret_cast<HDC>(dc), TRANSPARENT);
  return reinterpret_cast<LRESULT>(brush);
}

// An owner-drawn button painted as a styled bar in one fixed button style.
class CStyleBarButton : public CButton {
 public:
  CStyleBarButton(int32_t style, const wchar_t* label) : style_(style), label_(label) {}

 protected:
  bool DrawItem(const DRAWITEMSTRUCT& item) override {
    const RECT r = item.rcItem;
    const int32_t w = r.right - r.left, h = r.bottom - r.top;
    CDib picture;
    if (!picture.Create(w, h)) return false;
    CDibSurface surface(picture);
    const InterfaceSettings& ui = GetInterfaceSettings();
    surface.FillRect({0, 0, w, h}, ui.windowColor);
    const int32_t saved = ui.buttonStyle;
    SetButtonStyle(style_);
    const int32_t state = (item.itemState & ODS_SELECTED) != 0 ? 2 : 0;
    DrawStyledBar(surface, {0, 0, w, h}, ui.controlColor, state, 0.0);
    SetButtonStyle(saved);
    if (HDC dc = static_cast<HDC>(picture.GetDC())) {
      CDC out(dc);
      CSelectObject font(dc, GetFont());
      out.SetBkMode(TRANSPARENT);
      out.SetTextColor(0);
      RECT text = {0, 0, w, h};
      if (state == 2) OffsetRect(&text, 1, 1);
      out.DrawText(label_, text, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
      picture.ReleaseDC();
    }
    picture.Draw(item.hDC, ToDibRect(r));
    return true;
  }

 private:
  int32_t style_;
  std::wstring label_;
};

// The small dialog: fixed size, caption close button, rolls up.
class CSmallDlg : public CToolDlg {
 protected:
  bool OnInitDialog() override {
    CToolDlg::OnInitDialog();
    close_.SubclassDlgItem(kCaptionCloseId, *this);
    close_.SetWindowText(L"");
    const int side = WindowSkinMetrics(Hwnd()).smallIcon;
    close_.SetIcon(CAPTION_CLOSE_ICON_ID, 0, side, side);
    text_.AttachDlgItem(kSmallTextId, *this);
    ok_.SubclassDlgItem(IDOK, *this);
    return true;
  }
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == WM_CTLCOLORSTATIC) return ColourStaticBackground(wParam);
    return CToolDlg::WindowProc(msg, wParam, lParam);
  }
  void OnCommand(UINT id, UINT code, HWND control) override {
    if (id == kCaptionCloseId) {
      EndDialog(IDCANCEL);
      return;
    }
    CToolDlg::OnCommand(id, code, control);
  }

 private:
  CButtonST close_, ok_;
  CTranspStatic text_;
};

CDialogTemplate SmallTemplate() {
  CDialogTemplate t(WS_POPUP | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0, 150, 70, L"Message");
  t.AddItem(DialogItemClass::kStatic, kCaptionId, L"Message", SS_LEFT, 2, 2, 146, 11);
  t.AddItem(DialogItemClass::kButton, kCaptionCloseId, L"x", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
            134, 3, 12, 9);
  t.AddItem(DialogItemClass::kStatic, kSmallTextId,
            L"Double-click the caption to roll up.", WS_CHILD | WS_VISIBLE | SS_CENTER, 8, 30, 134,
            8);
  t.AddItem(DialogItemClass::kButton, IDOK, L"OK",
            WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 50, 50, 50, 14);
  return t;
}

CDialogTemplate GalleryTemplate() {
  const DWORD child = WS_CHILD | WS_VISIBLE;
  CDialogTemplate t(WS_POPUP | WS_CLIPCHILDREN, 0, 0, 240, 232, L"Tessaro gallery");
  t.AddItem(DialogItemClass::kStatic, kCaptionId, L"Tessaro gallery", SS_LEFT, 2, 2, 236, 11);
  t.AddItem(DialogItemClass::kStatic, kLabelId, L"Button styles (press one for the pressed look):",
            child | SS_LEFT, 8, 18, 224, 9);
  const wchar_t* labels[3] = {L"Flat (0)", L"Chrome (9)", L"Aqua (100)"};
  for (int i = 0; i < 3; ++i) {
    t.AddItem(DialogItemClass::kButton, WORD(kStyleBarIds[i]), labels[i],
              child | WS_TABSTOP | BS_OWNERDRAW, 8, short(30 + 18 * i), 224, 14);
  }
  t.AddItem(DialogItemClass::kButton, kCheckId, L"Checked", child | WS_TABSTOP | BS_PUSHBUTTON,
            8, 86, 70, 14);
  t.AddItem(DialogItemClass::kButton, kIconButtonId, L"Icon", child | WS_TABSTOP | BS_PUSHBUTTON,
            84, 86, 70, 14);
  t.AddItem(DialogItemClass::kButton, kDisabledButtonId, L"Disabled",
            child | WS_DISABLED | BS_PUSHBUTTON, 160, 86, 72, 14);
  t.AddItem(TRACKBAR_CLASSW, kSliderId, L"", child | WS_TABSTOP | TBS_HORZ | TBS_BOTH | TBS_NOTICKS,
            8, 106, 224, 14);
  t.AddItem(DialogItemClass::kButton, kDialId, L"", child | BS_OWNERDRAW, 8, 126, 40, 40);
  for (int i = 0; i < 3; ++i) {
    t.AddItem(DialogItemClass::kButton, WORD(kSwatchIds[i]), L"Color", child | BS_PUSHBUTTON,
              short(60 + 58 * i), 140, 50, 14);
  }
  t.AddItem(PROGRESS_CLASSW, kProgressId, L"", child, 8, 176, 224, 8);
  t.AddItem(DialogItemClass::kStatic, kLinkId, L"https://example.org/", child | SS_LEFT, 8, 192,
            100, 10);
  t.AddItem(DialogItemClass::kStatic, kPictureId, L"", child, 120, 188, 48, 16);
  t.AddItem(DialogItemClass::kButton, IDOK, L"OK", child | WS_TABSTOP | BS_DEFPUSHBUTTON, 128,
            210, 50, 14);
  t.AddItem(DialogItemClass::kButton, IDCANCEL, L"Cancel", child | WS_TABSTOP | BS_PUSHBUTTON, 182,
            210, 50, 14);
  return t;
}

class CGalleryDlg : public CToolDlg {
 public:
  CGalleryDlg(const GalleryOptions& options, SettingsStore& store) : options_(options) {
    SetResizable(true);
    SetTitle("Tessaro gallery");
    SetSettingsStore(&store);
    small_.SetSettingsStore(&store);
  }

 protected:
  bool OnInitDialog() override {
    CToolDlg::OnInitDialog();
    SetWindowPos(nullptr, 24, 24, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    for (int i = 0; i < 3; ++i) bars_[i].AttachDlgItem(kStyleBarIds[i], *this);
    AttachControls();

    AnchorControl(kLabelId, kAnchorTopLeft);
    for (int id : kStyleBarIds) AnchorControl(id, kAnchorTopLeft, kAnchorTopRight);
    AnchorControl(kCheckId, kAnchorTopLeft);
    AnchorControl(kIconButtonId, kAnchorTopLeft);
    AnchorControl(kDisabledButtonId, kAnchorTopLeft);
    AnchorControl(kDialId, kAnchorTopLeft);
    for (int id : kSwatchIds) AnchorControl(id, kAnchorTopLeft);
    AnchorControl(kSliderId, kAnchorTopLeft, kAnchorTopRight);
    AnchorControl(kProgressId, kAnchorBottomLeft, kAnchorBottomRight);
    AnchorControl(kLinkId, kAnchorBottomLeft);
    AnchorControl(kPictureId, kAnchorBottomLeft);
    AnchorControl(IDOK, kAnchorBottomRight);
    AnchorControl(IDCANCEL, kAnchorBottomRight);

    const CDialogTemplate small = SmallTemplate();
    if (small_.Create(small.Get(), Hwnd())) {
      const RECT mine = GetWindowRect();
      small_.SetWindowPos(nullptr, mine.right + options_.growX + 24, mine.top, 0, 0,
                          SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    SetTimer(kShownTimer, 300);
    return true;
  }

  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == WM_CTLCOLORSTATIC) return ColourStaticBackground(wParam);
    return CToolDlg::WindowProc(msg, wParam, lParam);
  }

  void OnTimer(UINT_PTR id) override {
    if (id == kShownTimer) {
      KillTimer(kShownTimer);
      Shown();
    } else if (id == kLingerTimer) {
      KillTimer(kLingerTimer);
      EndDialog(IDCANCEL);
    } else {
      CToolDlg::OnTimer(id);
    }
  }

 private:
  // The skinned controls in the colours the main dialog gives them.
  void AttachControls() {
    const InterfaceSettings& ui = GetInterfaceSettings();
    slider_.AttachDlgItem(kSliderId, *this);
    slider_.SetColors(ShadeColor(ui.windowColor, 8), ui.controlColor);
    slider_.SetPageSize(5);
    slider_.SetRangeAndPos(0, 100, 40);
    progress_.AttachDlgItem(kProgressId, *this);
    progress_.SetColors(ShadeColor(ui.windowColor, 8), ui.controlColor);
    progress_.SetRange(0, 100);
    progress_.SetPos(60);
    dial_.AttachDlgItem(kDialId, *this);
    dial_.SetColors(ShadeColor(ui.windowColor, 8), ShadeColor(ui.controlColor, -128));
    dial_.SetAngle(135 * 3.14159265358979323846 / 180);
    check_.SubclassDlgItem(kCheckId, *this);
    const int side = WindowSkinMetrics(Hwnd()).smallIcon;
    check_.SetIcon(CHECKED_BOX_ICON_ID, 0, side, side);
    check_.SetCheck(1);
    iconButton_.SubclassDlgItem(kIconButtonId, *this);
    iconButton_.SetIcon(CAPTION_MENU_ICON_ID, 0, side, side);
    disabled_.SubclassDlgItem(kDisabledButtonId, *this);
    disabled_.SetIcon(EMPTY_BOX_ICON_ID, 0, side, side);
    for (int i = 0; i < 3; ++i) {
      swatches_[i].SubclassDlgItem(kSwatchIds[i], *this);
      swatches_[i].SetColor(kSwatchColors[i]);
    }
    label_.AttachDlgItem(kLabelId, *this);
    link_.SubclassDlgItem(kLinkId, *this);
    link_.ModifyLinkStyle(~0u, kLinkUnderline);
    picture_.AttachDlgItem(kPictureId, *this);
    picture_.SetBackground(ui.windowColor);
    picture_.SetCentered(false);
    picture_.SetBitmap(GradientBitmap(), 16, 4);
    ok_.SubclassDlgItem(IDOK, *this);
    cancel_.SubclassDlgItem(IDCANCEL, *this);
  }

  // A small colour ramp for the picture view (no picture resource exists yet).
  static HBITMAP GradientBitmap() {
    uint32_t pixels[16 * 4];
    for (int y = 0; y < 4; ++y) {
      for (int x = 0; x < 16; ++x) {
        pixels[y * 16 + x] =
            uint32_t(x * 16) << 16 | uint32_t(y * 64) << 8 | uint32_t(255 - x * 16);
      }
    }
    return CreateBitmap(16, 4, 1, 32, pixels);
  }

  void Shown() {
    if (options_.growX != 0 || options_.growY != 0) {
      const RECT r = GetWindowRect();
      SetWindowPos(nullptr, 0, 0, r.right - r.left + options_.growX,
                   r.bottom - r.top + options_.growY, SWP_NOMOVE | SWP_NOZORDER);
    }
    if (options_.rollUp && small_.IsWindow()) small_.SetRolledUp(true);
    if (options_.pressed) bars_[2].SendMessage(BM_SETSTATE, TRUE, 0);
    SetForegroundWindow(Hwnd());
    RedrawWindow();
    if (small_.IsWindow()) small_.RedrawWindow();
    if (!options_.readyFile.empty()) std::ofstream(options_.readyFile) << "shown\n";
    if (options_.lingerMs > 0) SetTimer(kLingerTimer, UINT(options_.lingerMs));
  }

  GalleryOptions options_;
  CStyleBarButton bars_[3] = {{kButtonStyleFlat, L"Flat (0)"},
                              {kButtonStyleChrome, L"Chrome (9)"},
                              {kButtonStyleAqua, L"Aqua (100)"}};
  CIconSlider slider_;
  CProgressST progress_;
  CAngleCtrl dial_;
  CButtonST check_, iconButton_, disabled_, ok_, cancel_;
  CColorButton swatches_[3];
  CTranspStatic label_;
  CHyperLink link_;
  CBitmapView picture_;
  CSmallDlg small_;
};

bool ParseOptions(int argc, char** argv, GalleryOptions& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const bool hasValue = i + 1 < argc;
    if (a == "--style" && hasValue) {
      o.style = std::atoi(argv[++i]);
    } else if (a == "--contrast" && hasValue) {
      o.contrast = std::atoi(argv[++i]);
    } else if (a == "--grow" && i + 2 < argc) {
      o.growX = std::atoi(argv[++i]);
      o.growY = std::atoi(argv[++i]);
    } else if (a == "--roll-up") {
      o.rollUp = true;
    } else if (a == "--pressed") {
      o.pressed = true;
    } else if (a == "--ready-file" && hasValue) {
      o.readyFile = argv[++i];
    } else if (a == "--dialog" && hasValue) {
      o.dialog = argv[++i];
    } else if (a == "--linger" && hasValue) {
      o.lingerMs = std::atoi(argv[++i]);
    } else {
      std::fprintf(stderr, "tessaro_gallery: unknown option %s\n", a.c_str());
      return false;
    }
  }
  return true;
}

std::string GalleryStorePath() {
  wchar_t folder[MAX_PATH + 1] = {};
  const DWORD n = GetTempPathW(MAX_PATH, folder);
  return WideToUtf8(std::wstring(folder, n)) + "tessaro-gallery-settings.txt";
}

// ---- One small dialog at a time -----------------------------------------------------
// The small dialogs run their own modal loops, so a thread timer does what the
// gallery's own timers do for the gallery: prepares the look, says when it is
// shown, and closes every dialog after the linger time.

struct DialogShot {
  GalleryOptions options;
  int ticks = 0;
  bool ready = false;
  DWORD readyAt = 0;
};
DialogShot* g_shot = nullptr;

BOOL CALLBACK CancelDialog(HWND hwnd, LPARAM) {
  if (IsWindowVisible(hwnd) && dynamic_cast<CToolDlg*>(CWnd::FromHandle(hwnd)) != nullptr)
    PostMessageW(hwnd, WM_COMMAND, IDCANCEL, 0);
  return TRUE;
}

HWND TopSmallDialog() {
  HWND active = GetActiveWindow();
  return dynamic_cast<CToolDlg*>(CWnd::FromHandle(active)) != nullptr ? active : nullptr;
}

void CALLBACK DialogShotTick(HWND, UINT, UINT_PTR, DWORD) {
  DialogShot& shot = *g_shot;
  HWND dialog = TopSmallDialog();
  if (dialog == nullptr) return;
  ++shot.ticks;
  if (shot.options.dialog == "input" && shot.ticks == 2) {
    SetDlgItemTextW(dialog, kPresetNameEditId, L"Soft edges");
  } else if (shot.options.dialog.rfind("presets", 0) == 0 && shot.ticks == 2) {
    SendDlgItemMessageW(dialog, kPresetListId, LB_SETCURSEL, 1, 0);
    if (shot.options.dialog == "presets-ask")
      PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(kDeletePresetId, BN_CLICKED), 0);
  } else if (shot.ticks == 5 && !shot.ready) {
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    shot.ready = true;
    shot.readyAt = GetTickCount();
    if (!shot.options.readyFile.empty()) std::ofstream(shot.options.readyFile) << "shown\n";
  } else if (shot.ready && shot.options.lingerMs > 0 &&
             GetTickCount() - shot.readyAt > DWORD(shot.options.lingerMs)) {
    EnumThreadWindows(GetCurrentThreadId(), &CancelDialog, 0);
  }
}

int RunDialogShot(const GalleryOptions& options, SettingsStore& store) {
  DialogShot shot{options};
  g_shot = &shot;
  const UINT_PTR timer = SetTimer(nullptr, 0, 100, &DialogShotTick);
  INT_PTR result = 0;
  if (options.dialog == "message") {
    result = host::ShowMessageDlg("Do you want remove selected preset?", host::kIconQuestion,
                                  host::kButtonsYesNo);
  } else if (options.dialog == "message-ok") {
    result = host::ShowMessageDlg(
        "This filter requires a selection or a layer with transparency!", host::kIconWarning,
        host::kButtonsOk);
  } else if (options.dialog == "about") {
    CAboutDlg about;
    result = about.Run();
  } else if (options.dialog == "input") {
    CInputDlg input;
    result = input.Run(nullptr);
  } else if (options.dialog == "presets" || options.dialog == "presets-ask") {
    for (const std::string& name : ListPresets(store)) DeletePreset(store, name);
    for (const char* name : {"Soft edges", "Deep relief", "Tilted", "Aqua glass", "Flat"})
      SaveEffectSettings(store, name, EffectSettings{});
    CManagePresetsDlg presets(&store);
    result = presets.Run(nullptr);
  } else {
    std::fprintf(stderr, "tessaro_gallery: unknown dialog %s\n", options.dialog.c_str());
    result = -1;
  }
  KillTimer(nullptr, timer);
  g_shot = nullptr;
  return result == -1 ? 1 : 0;
}

int RunGallery(int argc, char** argv) {
  GalleryOptions options;
  if (!ParseOptions(argc, argv, options)) return 2;
  if (options.style != -1) SetButtonStyle(options.style);
  // The gallery keeps its settings apart from the user's own.
  FileSettingsStore store(GalleryStorePath());
  if (options.contrast != -9999)
    store.WriteInt("", "Linear interface", options.contrast);
  else
    store.DeleteValue("", "Linear interface");

  if (!options.dialog.empty()) return RunDialogShot(options, store);

  CGalleryDlg gallery(options, store);
  const CDialogTemplate t = GalleryTemplate();
  return gallery.DoModal(t.Get(), nullptr) == -1 ? 1 : 0;
}

}  // namespace
}  // namespace tessaro

int main(int argc, char** argv) {
  try {
    return tessaro::RunGallery(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tessaro_gallery: %s\n", e.what());
  } catch (...) {
    std::fprintf(stderr, "tessaro_gallery: unknown failure\n");
  }
  return 1;
}
