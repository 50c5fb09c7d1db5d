#include "ui/toolkit/small_dialogs.h"

#include <algorithm>

#include "i18n/language.h"
#include "settings/presets.h"
#include "ui/toolkit/frame_layout.h"

namespace tessaro {

MessageButtons MessageButtonsFor(int set, const i18n::CLanguage& language) {
  MessageButtons buttons;
  if (set == kMessageSetYesNo) {
    buttons.button[1] = {language.GetText("Msg", "yes", "Yes"), kResultYes};
    buttons.button[2] = {language.GetText("Msg", "no", "No"), kResultNo};
  } else {
    buttons.button[2] = {language.GetText("Msg", "ok", "OK"), kResultOk};
  }
  // Enter answers yes wherever yes is offered: the question is what the user
  // asked for by pressing the button that led here.
  buttons.enterResult = kResultOk;
  for (const MessageButton& b : buttons.button) {
    if (!b.caption.empty() && b.result == kResultYes) buttons.enterResult = kResultYes;
  }
  return buttons;
}

const SmallDialogLayout& MessageDialogLayout() {
  static const SmallDialogLayout layout = {
      kMessageTemplateId,
      "",
      300,
      84,
      {
          {kCaptionId, SmallItemKind::kCaption, "", 5, 5, 270, 17},
          {kCaptionCloseId, SmallItemKind::kCloseButton, "", 275, 5, 20, 17},
          {kMessageIconId, SmallItemKind::kIcon, "", 12, 30, 21, 20},
          {kMessageTextId, SmallItemKind::kMessage, "Static", 48, 36, 203, 8},
          {kMessageButtonIds[0], SmallItemKind::kButton, "", 56, 60, 74, 17},
          {kMessageButtonIds[1], SmallItemKind::kButton, "", 135, 60, 74, 17},
          {kMessageButtonIds[2], SmallItemKind::kButton, "", 214, 60, 74, 17},
      }};
  return layout;
}

const SmallDialogLayout& InputDialogLayout() {
  static const SmallDialogLayout layout = {
      kSavePresetTemplateId,
      "Save preset",
      270,
      84,
      {
          {kCaptionId, SmallItemKind::kCaption, "Save preset", 5, 5, 240, 17},
          {kCaptionCloseId, SmallItemKind::kCloseButton, "", 245, 5, 20, 17},
          {kPresetNameLabelId, SmallItemKind::kLabel, "Preset name", 12, 35, 56, 8},
          {kPresetNameEditId, SmallItemKind::kEdit, "", 72, 34, 186, 14},
          {kResultOk, SmallItemKind::kDefaultButton, "OK", 105, 60, 74, 17},
          {kResultCancel, SmallItemKind::kButton, "Close", 184, 60, 74, 17},
      }};
  return layout;
}

const SmallDialogLayout& ManagePresetsDialogLayout() {
  static const SmallDialogLayout layout = {
      kManagePresetsTemplateId,
      "Manage presets",
      266,
      165,
      {
          {kCaptionId, SmallItemKind::kCaption, "Manage presets", 5, 5, 236, 17},
          {kCaptionCloseId, SmallItemKind::kCloseButton, "", 241, 5, 20, 17},
          {kPresetListId, SmallItemKind::kList, "", 12, 29, 242, 105},
          {kDeletePresetId, SmallItemKind::kButton, "Delete", 101, 141, 74, 17},
          {kResultCancel, SmallItemKind::kButton, "Close", 180, 141, 74, 17},
      }};
  return layout;
}

bool DeleteSelectedPreset(SettingsStore& store, std::vector<std::string>& names,
                          const std::optional<std::string>& selected,
                          const std::function<int()>& ask) {
  if (!selected || !ask || ask() != kResultYes) return false;
  DeletePreset(store, *selected);
  const auto it = std::find(names.begin(), names.end(), *selected);
  if (it != names.end()) names.erase(it);
  return true;
}

}  // namespace tessaro
