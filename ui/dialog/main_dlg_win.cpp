#include "ui/dialog/main_dlg_win.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>
#include <vector>

#include "host/plugin_app.h"
#include "host/user_message.h"
#include "i18n/language.h"
#include "resources/resource_ids.h"
#include "settings/presets.h"
#include "settings/product_identity.h"
#include "settings/settings_store.h"
#include "ui/dialog/about_dlg_win.h"
#include "ui/dialog/host_color_pick.h"
#include "ui/dialog/interface_styles.h"
#include "ui/dialog/main_dialog_layout.h"
#include "ui/dialog/menu_win.h"
#include "ui/dialog/window_placement.h"
#include "ui/toolkit/dialog_template_win.h"
#include "ui/toolkit/dpi_win.h"
#include "ui/toolkit/host_window_win.h"
#include "ui/toolkit/small_dialogs.h"
#include "ui/toolkit/small_dialogs_win.h"

namespace tessaro {

namespace {

constexpr char kDialogSection[] = "Main_dlg";
constexpr char kMenuSection[] = "Main_menu";
constexpr char kPresetsMenuSection[] = "Settings_menu";

// The sliders and labels in the settings table's order.
const std::vector<const SettingInfo*>& SliderSettings() {
  static const std::vector<const SettingInfo*> sliders = [] {
    std::vector<const SettingInfo*> found;
    for (const SettingInfo& info : kSettingTable)
      if (info.kind == SettingKind::Slider) found.push_back(&info);
    return found;
  }();
  return sliders;
}

std::vector<int> LabelIds() {
  std::vector<int> ids;
  for (const SettingInfo& info : kSettingTable)
    if (info.labelId != 0) ids.push_back(info.labelId);
  return ids;
}

struct ItemLook {
  const wchar_t* className;  // null: a predefined class
  DialogItemClass itemClass;
  DWORD style;
  DWORD exStyle;
};

ItemLook LookOf(MainItemKind kind) {
  const DWORD child = WS_CHILD | WS_VISIBLE;
  switch (kind) {
    case MainItemKind::kPushButton:
      return {nullptr, DialogItemClass::kButton, child | WS_TABSTOP | BS_PUSHBUTTON, 0};
    case MainItemKind::kDefaultButton:
      return {nullptr, DialogItemClass::kButton, child | WS_TABSTOP | BS_DEFPUSHBUTTON, 0};
    case MainItemKind::kCheckButton:
    case MainItemKind::kDial:
    case MainItemKind::kPreview:
      return {nullptr, DialogItemClass::kButton, child | WS_TABSTOP | BS_OWNERDRAW, 0};
    case MainItemKind::kColorButton:
      return {nullptr, DialogItemClass::kButton, child | WS_TABSTOP | BS_PUSHBUTTON, 0};
    case MainItemKind::kLabel: return {nullptr, DialogItemClass::kStatic, child | SS_LEFT, 0};
    case MainItemKind::kHiddenLabel:
      return {nullptr, DialogItemClass::kStatic, WS_CHILD | SS_LEFT, 0};
    case MainItemKind::kSlider:
      return {TRACKBAR_CLASSW, DialogItemClass::kStatic,
              child | WS_TABSTOP | TBS_HORZ | TBS_BOTH | TBS_NOTICKS, 0};
    case MainItemKind::kProgress:
      return {PROGRESS_CLASSW, DialogItemClass::kStatic, WS_CHILD,
              WS_EX_STATICEDGE | WS_EX_CLIENTEDGE};
    case MainItemKind::kLink:
      return {nullptr, DialogItemClass::kStatic, child | SS_LEFT | SS_NOTIFY, 0};
    case MainItemKind::kCaptionButton:
      return {nullptr, DialogItemClass::kButton, child | BS_PUSHBUTTON, 0};
    case MainItemKind::kCaption:
      return {nullptr, DialogItemClass::kStatic, WS_CHILD | SS_LEFT | SS_SUNKEN, 0};
  }
  return {nullptr, DialogItemClass::kStatic, child, 0};
}

int IdOf(SettingId id) { return Info(id).controlId; }

std::vector<ScreenRect> MonitorWorkAreas() {
  std::vector<ScreenRect> areas;
  const auto collect = [](HMONITOR monitor, HDC, LPRECT, LPARAM data) CALLBACK -> BOOL {
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(monitor, &info) != FALSE) {
      const RECT& w = info.rcWork;
      reinterpret_cast<std::vector<ScreenRect>*>(data)->push_back(
          {int32_t(w.left), int32_t(w.top), int32_t(w.right), int32_t(w.bottom)});
    }
    return TRUE;
  };
  EnumDisplayMonitors(nullptr, nullptr, collect, reinterpret_cast<LPARAM>(&areas));
  return areas;
}

std::string MessageText(const char* key, const char* english) {
  return i18n::TheLanguage().GetText("Msg", key, english);
}

}  // namespace

std::unique_ptr<CDialogTemplate> BuildMainDialogTemplate() {
  auto t = std::make_unique<CDialogTemplate>(WS_POPUP | WS_CLIPCHILDREN, 0, 0,
                                             kMainDialogUnitsWidth, kMainDialogUnitsHeight,
                                             Utf8ToWide(kProductName));
  for (const MainDialogItem& item : MainDialogItems()) {
    const ItemLook look = LookOf(item.kind);
    const std::wstring text = Utf8ToWide(item.text);
    if (look.className != nullptr)
      t->AddItem(look.className, WORD(item.id), text, look.style, item.x, item.y, item.cx,
                 item.cy, look.exStyle);
    else
      t->AddItem(look.itemClass, WORD(item.id), text, look.style, item.x, item.y, item.cx,
                 item.cy, look.exStyle);
  }
  return t;
}

// ---- Lifetime ---------------------------------------------------------------------

CMainDlg::CMainDlg(host::EffectController& effect, SettingsStore& store)
    : effect_(effect), store_(store), schedule_(*this) {
  LoadInterfaceSettings(store_);
  busy_ = LoadCursorW(nullptr, IDC_WAIT);
  SetResizable(true);
  SetTitle(kProductName);
  SetSettingsStore(&store_);
}

CMainDlg::~CMainDlg() = default;

INT_PTR CMainDlg::Run(HWND owner) {
  const std::unique_ptr<CDialogTemplate> t = BuildMainDialogTemplate();
  return DoModal(t->Get(), ModalOwnerFor(owner));
}

bool CMainDlg::OnInitDialog() {
  CToolDlg::OnInitDialog();
  BindControls();
  // The link is sized to its text before its place is registered, so the
  // layout keeps that size; it lies on the striped background.
  link_.SetAddress(Utf8ToWide(kHomePageAddress));
  link_.ModifyLinkStyle(0, kLinkUnderline | kLinkHoverColor | kLinkNoErase, false);
  link_.SetLinkText(Utf8ToWide(kHomePageText));
  for (const MainDialogItem& item : MainDialogItems())
    if (item.anchored) AnchorControl(item.id, item.topLeft, item.bottomRight);
  PlaceWindow();
  ApplyInterfaceColors();
  ConfigureSliders();
  const int side = WindowSkinMetrics(Hwnd()).smallIcon;
  captionMenu_.SetIcon(CAPTION_MENU_ICON_ID, 0, side, side);
  captionClose_.SetIcon(CAPTION_CLOSE_ICON_ID, 0, side, side);
  captionMenu_.SetDrawFocus(false);
  captionClose_.SetDrawFocus(false);
  ShowValues(effect_.Settings());
  schedule_.StartFirstBuild();
  return true;
}

void CMainDlg::BindControls() {
  const std::vector<const SettingInfo*>& sliders = SliderSettings();
  for (size_t i = 0; i < sliders_.size() && i < sliders.size(); ++i)
    sliders_[i].AttachDlgItem(sliders[i]->controlId, *this);
  const std::vector<int> labels = LabelIds();
  for (size_t i = 0; i < labels_.size() && i < labels.size(); ++i)
    labels_[i].AttachDlgItem(labels[i], *this);
  overlay_.SubclassDlgItem(IdOf(SettingId::ColorOverlay), *this);
  lighting_.SubclassDlgItem(IdOf(SettingId::Lighting), *this);
  smooth_.SubclassDlgItem(IdOf(SettingId::SmoothDepth), *this);
  color_.SubclassDlgItem(IdOf(SettingId::Color), *this);
  highlight_.SubclassDlgItem(IdOf(SettingId::HighlightColor), *this);
  shadow_.SubclassDlgItem(IdOf(SettingId::ShadowColor), *this);
  dial_.AttachDlgItem(IdOf(SettingId::LightDirection), *this);
  preview_.AttachDlgItem(kPreviewId, *this);
  progress_.AttachDlgItem(kProgressId, *this);
  link_.SubclassDlgItem(kHomeLinkId, *this);
  menu_.SubclassDlgItem(kMenuButtonId, *this);
  presets_.SubclassDlgItem(kPresetsButtonId, *this);
  ok_.SubclassDlgItem(kMainOkId, *this);
  cancel_.SubclassDlgItem(kMainCancelId, *this);
  captionMenu_.SubclassDlgItem(kCaptionMenuButtonId, *this);
  captionClose_.SubclassDlgItem(kCaptionCloseButtonId, *this);
}

void CMainDlg::PlaceWindow() {
  const RECT created = GetWindowRect();
  const ScreenRect templateRect = {created.left, created.top, created.right, created.bottom};
  const StoredPlacement stored = ReadPlacement(store_, templateRect);
  const int32_t firstWidth = ScaleToDpi(kFirstWindowWidth, Dpi());
  const int32_t firstHeight = ScaleToDpi(kFirstWindowHeight, Dpi());
  ScreenRect r = InitialPlacement(templateRect, stored, firstWidth, firstHeight);
  // Never smaller than the template: the frame's minimum would hold it there
  // anyway, and the controls were laid out for it.
  r.right = std::max(r.right, r.left + templateRect.Width());
  r.bottom = std::max(r.bottom, r.top + templateRect.Height());
  // The first opening is in the middle of the editor's monitor, which need
  // not be the primary one.  Without an editor window, the template's place.
  HWND owner = ::GetWindow(Hwnd(), GW_OWNER);
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  if (stored.x <= 0 && owner != nullptr &&
      GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor) != FALSE) {
    const RECT& w = monitor.rcWork;
    r = CentredOn({int32_t(w.left), int32_t(w.top), int32_t(w.right), int32_t(w.bottom)},
                  r.Width(), r.Height());
  }
  r = KeepOnMonitors(r, MonitorWorkAreas());
  MoveWindow(RECT{r.left, r.top, r.right, r.bottom}, false);
}

void CMainDlg::ConfigureSliders() {
  const std::vector<const SettingInfo*>& sliders = SliderSettings();
  for (size_t i = 0; i < sliders_.size() && i < sliders.size(); ++i) {
    const MainDialogItem* item = FindMainDialogItem(sliders[i]->controlId);
    sliders_[i].SetRangeAndPos(sliders[i]->min, sliders[i]->max, sliders[i]->initialPosition);
    if (item != nullptr) sliders_[i].SetPageSize(item->page);
  }
}

void CMainDlg::OnDestroy() {
  schedule_.StopAll();
  const RECT r = GetWindowRect();
  WritePlacement(store_, {r.left, r.top, r.right, r.bottom});
  CToolDlg::OnDestroy();
  view_.Destroy();
}

// ---- Values -----------------------------------------------------------------------

void CMainDlg::SetCheckIcon(CButtonST& button) {
  const int side = WindowSkinMetrics(Hwnd()).smallIcon;
  button.SetIcon(button.GetCheck() != 0 ? CHECKED_BOX_ICON_ID : EMPTY_BOX_ICON_ID, 0, side, side);
}

void CMainDlg::ShowValues(const EffectSettings& values) {
  const std::vector<const SettingInfo*>& sliders = SliderSettings();
  for (size_t i = 0; i < sliders_.size() && i < sliders.size(); ++i)
    sliders_[i].SetPos(values.Get(sliders[i]->id));
  dial_.SetAngle(DegreesToRadians(values.lightDirection));
  smooth_.SetCheck(values.smoothDepth ? 1 : 0, false);
  lighting_.SetCheck(values.lighting ? 1 : 0, false);
  overlay_.SetCheck(values.colorOverlay ? 1 : 0, false);
  for (CButtonST* check : {&smooth_, &lighting_, &overlay_}) SetCheckIcon(*check);
  color_.SetColor(values.color, false);
  highlight_.SetColor(values.highlightColor, false);
  shadow_.SetColor(values.shadowColor, false);
}

EffectSettings CMainDlg::ControlValues() const {
  EffectSettings values;
  const std::vector<const SettingInfo*>& sliders = SliderSettings();
  for (size_t i = 0; i < sliders_.size() && i < sliders.size(); ++i)
    values.Set(sliders[i]->id, sliders_[i].GetPos());
  values.lightDirection = dial_.Degrees();
  values.smoothDepth = smooth_.GetCheck() != 0;
  values.lighting = lighting_.GetCheck() != 0;
  values.colorOverlay = overlay_.GetCheck() != 0;
  values.color = color_.GetColor();
  values.highlightColor = highlight_.GetColor();
  values.shadowColor = shadow_.GetColor();
  return values;
}

void CMainDlg::LoadSettings(const std::string& section, bool refresh) {
  effect_.LoadSettings(store_, section);
  ShowValues(effect_.Settings());
  if (!refresh) return;
  RedrawWindow(RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  schedule_.Refresh();
}

void CMainDlg::SaveSettings(const std::string& section) {
  effect_.Settings() = ControlValues();
  effect_.SaveSettings(store_, section);
}

ScheduleFeatures CMainDlg::Features() const {
  return {overlay_.GetCheck() != 0, lighting_.GetCheck() != 0};
}

// ---- Texts and colours ------------------------------------------------------------------

void CMainDlg::ApplyTexts() {
  i18n::CLanguage& language = i18n::TheLanguage();
  language.ApplyToDialog(kDialogSection, Hwnd());
  // The caption strip shows the (translated) title and the vendor.
  const std::string title = language.GetText(kDialogSection, "0", kProductName);
  ::SetDlgItemTextW(Hwnd(), kCaptionId, Utf8ToWide(title + " - " + kVendorName).c_str());
  link_.SetLinkText(Utf8ToWide(kHomePageText));
  preview_.SetWaitingText(Utf8ToWide(MessageText("preparing", "Preparing data...")));
}

void CMainDlg::ApplyInterfaceColors() {
  ApplyTexts();
  const InterfaceSettings& look = GetInterfaceSettings();
  const uint32_t track = ShadeColor(look.windowColor, 8);
  for (CIconSlider& slider : sliders_) slider.SetColors(track, look.controlColor);
  dial_.SetColors(track, ShadeColor(look.controlColor, -128));
  progress_.SetColors(track, look.controlColor);
  for (CButtonST* button : {&smooth_, &lighting_, &overlay_, &menu_, &presets_, &ok_, &cancel_,
                            &captionMenu_, &captionClose_}) {
    button->SetColor(look.controlColor, false);
    button->SetHoverColor(look.controlLight, false);
  }
  RedrawWindow(RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

// ---- Rebuilds and renders ------------------------------------------------------------

void CMainDlg::OnTimer(UINT_PTR id) {
  if (!schedule_.IsWaiting(unsigned(id))) {
    CToolDlg::OnTimer(id);
    return;
  }
  DoWork(schedule_.Fired(unsigned(id), effect_.HasScene()));
}

void CMainDlg::DoWork(RebuildWork work) {
  if (work == RebuildWork::kNone) return;
  effect_.Settings() = ControlValues();
  switch (work) {
    case RebuildWork::kFirstBuild:
      // The pane says what is happening before the work starts.
      preview_.Invalidate(false);
      preview_.UpdateWindow();
      effect_.BuildScene();
      ResetView();
      break;
    // A level does at most its own work, and only the part whose inputs
    // changed: the notices of the sliders' set-up, or a change undone
    // before its timer fired, rebuild nothing.
    case RebuildWork::kSlicesShadeAndRender:
      if (!effect_.AreSlicesCurrent()) {
        effect_.RebuildSlices();
        break;
      }
      [[fallthrough]];
    case RebuildWork::kShadeAndRender:
      if (!effect_.IsTextureCurrent()) effect_.Reshade();
      break;
    case RebuildWork::kRender:
    case RebuildWork::kNone: break;
  }
  if (!effect_.IsPartCurrent(ViewPart())) RenderPreview();
}

ProgressCallback CMainDlg::ProgressHandler() {
  return [this](int32_t done, int32_t total) { OnProgress(done, total); };
}

void CMainDlg::OnProgress(int32_t done, int32_t total) {
  if (!progress_.IsVisible() && IsVisible() && GetTickCount() - renderStart_ > kProgressShowAfterMs)
    progress_.ShowWindow(SW_SHOWNA);
  if (done == 0) progress_.SetRange(0, int(uint32_t(total) % 65536u));
  progress_.SetPos(done);
  // Sent straight to the bar, so it repaints while the render holds the loop.
  if (progress_.IsVisible()) progress_.UpdateWindow();
  if (!IsVisible()) {
    const host::FilterRecord& record = effect_.Record();
    if (record.progressProc != nullptr) record.progressProc(done, total);
  }
}

DibRect CMainDlg::ViewPart() const {
  const PreviewRect v = preview_.View().View();
  return {v.left, v.top, v.left + view_.Width(), v.top + view_.Height()};
}

void CMainDlg::RenderPreview() {
  if (!effect_.HasScene()) return;
  HCURSOR previous = ::SetCursor(busy_);
  renderStart_ = GetTickCount();
  // On a large document only the surroundings of the view are drawn, so the
  // preview follows the controls; OK draws the whole.
  const CDib& target = effect_.Workspace().RenderTarget();
  const DibRect part = PreviewRenderPart(ViewPart(), target.Width(), target.Height());
  if (IsWholeTarget(part, target.Width(), target.Height())) {
    effect_.Render(ProgressHandler());
  } else {
    effect_.RenderPart(part, ProgressHandler());
  }
  CopyViewImage();
  progress_.ShowWindow(SW_HIDE);
  ::SetCursor(previous);
  preview_.Invalidate(true);
}

void CMainDlg::ResetView() {
  const CDib& target = effect_.Workspace().RenderTarget();
  if (target.Width() == 0 || !effect_.HasScene()) return;
  PreviewRect image = {0, 0, target.Width() - 1, target.Height() - 1};
  preview_.SetImage(&view_, image, false);
  // Centred on the object rather than the document.
  const host::ObjectBounds& box = effect_.Bounds();
  const PreviewRect v = preview_.View().View();
  preview_.View().MoveView((box.left + box.right) / 2 - (v.left + v.right) / 2,
                           (box.top + box.bottom) / 2 - (v.top + v.bottom) / 2);
  preview_.ClampView();
  RefillView();
}

void CMainDlg::RefillView() {
  // A pan or a larger pane beyond the drawn part draws it first.
  if (view_.Width() != 0 && effect_.HasScene() && !effect_.IsDrawn(ViewPart())) return RenderPreview();
  CopyViewImage();
}

void CMainDlg::CopyViewImage() {
  if (view_.Width() == 0) return;
  const PreviewRect v = preview_.View().View();
  view_.Fill(0);
  view_.DrawOver(effect_.Workspace().RenderTarget(), -v.left, -v.top, 255);
  preview_.Invalidate(false);
}

void CMainDlg::OnSize(UINT type, int cx, int cy) {
  CToolDlg::OnSize(type, cx, cy);
  if (IsInitialised() && preview_.IsWindow()) ResetView();
}

// ---- OK and Cancel ----------------------------------------------------------------------

void CMainDlg::OnOK() {
  // Whatever rebuild was still waiting, the result matches the controls.
  schedule_.StopAll();
  effect_.Settings() = ControlValues();
  HCURSOR previous = ::SetCursor(busy_);
  renderStart_ = GetTickCount();
  effect_.WriteResult(ProgressHandler());
  ::SetCursor(previous);
  if (!host::SilentRun()) {
    effect_.WriteDescriptor([](const char* text) { host::ShowSystemMessage(text); });
    effect_.SaveSettings(store_, "");
  }
  EndDialog(IDOK);
}

void CMainDlg::OnCancel() {
  schedule_.StopAll();
  EndDialog(IDCANCEL);
}

// ---- Commands ---------------------------------------------------------------------

void CMainDlg::OnCommand(UINT id, UINT code, HWND control) {
  const int item = int(id);
  // Slider and dial notices are consumed; an opacity whose feature is off
  // starts nothing and goes on to the default handling.
  if (schedule_.ControlChanged(item, Features())) return;
  if (item == IdOf(SettingId::LightDirection)) return;

  if (item == IdOf(SettingId::ColorOverlay)) return ToggleCheck(overlay_);
  if (item == IdOf(SettingId::Lighting)) return ToggleCheck(lighting_);
  if (item == IdOf(SettingId::SmoothDepth)) return ToggleCheck(smooth_);
  if (item == IdOf(SettingId::Color)) return OnSwatch(color_);
  if (item == IdOf(SettingId::HighlightColor)) return OnSwatch(highlight_);
  if (item == IdOf(SettingId::ShadowColor)) return OnSwatch(shadow_);

  switch (item) {
    case kPreviewId: RefillView(); return;
    case kMenuButtonId: ShowMainMenu(menu_); return;
    case kCaptionMenuButtonId: ShowMainMenu(captionMenu_); return;
    case kPresetsButtonId: ShowPresetsMenu(); return;
    case kCaptionCloseButtonId: OnCancel(); return;
    default: break;
  }
  CToolDlg::OnCommand(id, code, control);
}

void CMainDlg::ToggleCheck(CButtonST& button) {
  button.SetCheck(button.GetCheck() != 0 ? 0 : 1, false);
  SetCheckIcon(button);
  button.Invalidate(false);
  button.UpdateWindow();
  DoWork(RebuildWork::kShadeAndRender);
}

void CMainDlg::OnSwatch(CColorButton& swatch) {
  const int id = swatch.GetDlgCtrlID();
  if (!swatch.TakeClickReport()) {
    schedule_.EyedropperChanged(id, Features());
    return;
  }
  uint32_t color = swatch.GetColor();
  if (!PickColor(color, true)) return;
  swatch.SetColor(color, true);
  if (SwatchFeatureOn(id, Features())) DoWork(RebuildWork::kShadeAndRender);
}

bool CMainDlg::PickColor(uint32_t& color, bool allowHostPicker) {
  const host::FilterRecord& record = effect_.Record();
  if (allowHostPicker && record.colorServices != nullptr) {
    host::ColorServicesInfo info = HostPickRequest(color);
    int16_t result = 0;
    {
      // The host's picker is the host's window, made in its own DPI context.
      const CHostDpiScope hostContext;
      result = record.colorServices(&info);
    }
    // The host's picker may have taken the keyboard; it comes back here.
    if (IsWindowVisible(Hwnd()) && GetForegroundWindow() != Hwnd()) SetForegroundWindow(Hwnd());
    switch (InterpretHostPick(result, info, color, &color)) {
      case HostPick::kPicked: return true;
      case HostPick::kCancelled: return false;
      case HostPick::kUnavailable: break;  // the system's chooser instead
    }
  }
  static COLORREF custom[16] = {};
  CHOOSECOLORW chooser = {};
  chooser.lStructSize = sizeof chooser;
  chooser.hwndOwner = Hwnd();
  chooser.rgbResult = color & 0xFFFFFFu;
  chooser.lpCustColors = custom;
  chooser.Flags = CC_FULLOPEN | CC_RGBINIT;
  if (ChooseColorW(&chooser) == FALSE) return false;
  color = chooser.rgbResult & 0xFFFFFFu;
  return true;
}

// ---- Menus ----------------------------------------------------------------------

int CMainDlg::TrackMenu(const MenuEntry& menu, const std::string& section, const CWnd& under) {
  CPopupMenu popup(menu);
  i18n::TheLanguage().ApplyToMenu(section, popup.Handle());
  const RECT r = under.GetWindowRect();
  return popup.Track(Hwnd(), POINT{r.left, r.bottom});
}

void CMainDlg::ShowMainMenu(const CWnd& under) {
  i18n::CLanguage& language = i18n::TheLanguage();
  const MenuEntry menu = MainMenuFor(language, GetInterfaceSettings().buttonStyle);
  const MainMenuChoice choice =
      InterpretMainMenu(TrackMenu(menu, kMenuSection, under), language.Count());
  uint32_t color = 0;
  switch (choice.action) {
    case MainMenuAction::kNone: return;
    case MainMenuAction::kStyle: ChooseButtonStyle(store_, choice.style); break;
    case MainMenuAction::kControlsColor:
      color = GetInterfaceSettings().controlColor;
      if (!PickColor(color, false)) return;
      ChooseControlColor(store_, color);
      break;
    case MainMenuAction::kWindowColor:
      color = GetInterfaceSettings().windowColor;
      if (!PickColor(color, false)) return;
      ChooseWindowColor(store_, color);
      break;
    case MainMenuAction::kResetInterface: ResetInterface(store_); break;
    case MainMenuAction::kLanguage:
      if (!ChooseLanguage(store_, language, choice.languageIndex)) return;
      break;
    case MainMenuAction::kSupport:
      // A page that cannot be opened is not worth a message.
      ShellExecuteW(nullptr, L"open", Utf8ToWide(kSupportAddress).c_str(), nullptr, nullptr,
                    SW_SHOWNORMAL);
      return;
    case MainMenuAction::kAbout: {
      CAboutDlg about;
      about.Run(Hwnd());
      return;
    }
  }
  ApplyInterfaceColors();
}

void CMainDlg::ShowPresetsMenu() {
  const std::vector<std::string> names = ListPresets(store_);
  const PresetsChoice choice =
      InterpretPresetsMenu(TrackMenu(PresetsMenuFor(names), kPresetsMenuSection, presets_),
                           names.size());
  switch (choice.action) {
    case PresetsAction::kNone: return;
    case PresetsAction::kSave: SavePresetFromUser(); return;
    case PresetsAction::kManage: {
      CManagePresetsDlg manage(&store_);
      manage.Run(Hwnd());
      return;
    }
    case PresetsAction::kReset:
      effect_.Settings() = EffectSettings::ResetValues();
      ShowValues(effect_.Settings());
      RedrawWindow(RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
      schedule_.Refresh();
      return;
    case PresetsAction::kLastUsed: LoadSettings("", true); return;
    case PresetsAction::kApply: LoadSettings(names[size_t(choice.presetIndex)], true); return;
  }
}

void CMainDlg::SavePresetFromUser() {
  CInputDlg input;
  if (input.Run(Hwnd()) != kResultOk) return;
  const std::string& name = input.Text();
  if (!IsAcceptablePresetName(name)) {
    host::ShowMessageDlg(
        MessageText("bad_preset_name", "A preset name cannot contain a backslash (\\)."),
        host::kIconWarning, host::kButtonsOk, reinterpret_cast<intptr_t>(Hwnd()));
    return;
  }
  SaveSettings(name);
}

}  // namespace tessaro
