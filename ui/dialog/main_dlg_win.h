// CMainDlg: the effect dialog, a thin window over EffectController.  The
// controls hold the current values while it is open; every change schedules
// the cheapest sufficient rebuild (RebuildScheduler), the preview pane shows
// the full-size render around the object, and OK writes the result that the
// controls describe, records the parameters and saves them as last used.
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <string>

#include "host/effect_controller.h"
#include "ui/dialog/dialog_menus.h"
#include "ui/dialog/preview_bitmap_win.h"
#include "ui/dialog/rebuild_schedule.h"
#include "ui/toolkit/angle_ctrl_win.h"
#include "ui/toolkit/button_st_win.h"
#include "ui/toolkit/icon_slider_win.h"
#include "ui/toolkit/progress_st_win.h"
#include "ui/toolkit/static_controls_win.h"
#include "ui/toolkit/tool_dlg_win.h"

namespace tessaro {

class CDialogTemplate;
class SettingsStore;

// The template of dialog 1000, built from the layout table.
std::unique_ptr<CDialogTemplate> BuildMainDialogTemplate();

class CMainDlg : public CToolDlg, private TimerService {
 public:
  // Reads the interface settings of store; store and effect must outlive
  // the dialog.  The effect's settings are the values the controls start
  // with.
  CMainDlg(host::EffectController& effect, SettingsStore& store);
  ~CMainDlg() override;

  // Runs modally, owned by owner (may be null); IDOK after the result was
  // written, IDCANCEL otherwise.
  INT_PTR Run(HWND owner);


  // Stored values of a section ("" for the last used) into the controls;
  // with refresh they are repainted and the scene rebuilt shortly after.
  void LoadSettings(const std::string& section, bool refresh);
  void SaveSettings(const std::string& section);

  // The values the controls hold now.
  EffectSettings ControlValues() const;
  const RebuildScheduler& Schedule() const { return schedule_; }

 protected:
  bool OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  void OnCommand(UINT id, UINT code, HWND control) override;
  void OnTimer(UINT_PTR id) override;
  void OnSize(UINT type, int cx, int cy) override;
  void OnDestroy() override;
  bool CanRollUp() const override { return false; }

 private:
  // TimerService
  void StartTimer(unsigned id, unsigned delayMs) override { SetTimer(id, delayMs); }
  void StopTimer(unsigned id) override { KillTimer(id); }

  void BindControls();
  void PlaceWindow();
  void ConfigureSliders();
  void ShowValues(const EffectSettings& values);
  void SetCheckIcon(CButtonST& button);
  void ApplyTexts();
  void ApplyInterfaceColors();
  ScheduleFeatures Features() const;

  void DoWork(RebuildWork work);
  void RenderPreview();
  // The render pixels the pane shows now (right and bottom exclusive).
  DibRect ViewPart() const;
  void ResetView();
  void RefillView();
  void CopyViewImage();
  void OnProgress(int32_t done, int32_t total);
  ProgressCallback ProgressHandler();

  void ToggleCheck(CButtonST& button);
  void OnSwatch(CColorButton& swatch);
  bool PickColor(uint32_t& color, bool allowHostPicker);
  void ShowMainMenu(const CWnd& under);
  void ShowPresetsMenu();
  int TrackMenu(const MenuEntry& menu, const std::string& section, const CWnd& under);
  void SavePresetFromUser();

  host::EffectController& effect_;
  SettingsStore& store_;
  RebuildScheduler schedule_;
  CDib view_;  // the part of the render the pane shows
  HCURSOR busy_ = nullptr;
  DWORD renderStart_ = 0;

  std::array<CIconSlider, 9> sliders_;  // in the settings table's order
  CButtonST overlay_, lighting_, smooth_;
  CColorButton color_, highlight_, shadow_;
  CAngleCtrl dial_;
  CPreviewBitmap preview_;
  CProgressST progress_;
  CHyperLink link_;
  CButtonST menu_, presets_, ok_, cancel_, captionMenu_, captionClose_;
  std::array<CTranspStatic, 10> labels_;
};

}  // namespace tessaro
