// What the three small dialogs (message box, name entry, preset list) decide
// without any window: their templates as tables, the button sets of the
// message box with their looked-up captions, and the confirmed deletion of a
// preset.  The windows themselves are in small_dialogs_win.cpp.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tessaro {

class SettingsStore;
namespace i18n {
class CLanguage;
}

// The platform's dialog results.
constexpr int kResultOk = 1;
constexpr int kResultCancel = 2;
constexpr int kResultYes = 6;
constexpr int kResultNo = 7;

// Button sets of the message box.
constexpr int kMessageSetYesNo = 0;
constexpr int kMessageSetOk = 1;

constexpr int kMessageTemplateId = 1023;
constexpr int kSavePresetTemplateId = 1011;
constexpr int kManagePresetsTemplateId = 1012;

constexpr int kMessageButtonIds[3] = {1138, 1139, 1140};
constexpr int kMessageTextId = 1141;
constexpr int kMessageIconId = 1142;
constexpr int kPresetNameLabelId = 1025;
constexpr int kPresetNameEditId = 1026;
constexpr int kPresetListId = 1027;
constexpr int kDeletePresetId = 1029;

struct MessageButton {
  std::string caption;  // empty: the button is hidden
  int result = 0;
};

struct MessageButtons {
  MessageButton button[3];  // ids kMessageButtonIds, left to right
  int enterResult = kResultOk;
};

// The captions come from section "Msg" of the language table.  An unknown set
// is the single OK button: a message nobody can dismiss would be worse.
MessageButtons MessageButtonsFor(int set, const i18n::CLanguage& language);

// ---- Templates ----------------------------------------------------------------

enum class SmallItemKind {
  kCaption,        // the hidden title static of the frame
  kCloseButton,    // the caption strip's close button
  kIcon,           // an icon static on the striped background
  kMessage,        // text centred both ways on the striped background
  kLabel,          // left-aligned text on the striped background
  kButton,
  kDefaultButton,
  kEdit,           // one line, scrolling sideways
  kList,           // sorted, notifying, vertical scroll bar, any height
};

struct SmallDialogItem {
  int id;
  SmallItemKind kind;
  const char* text;
  short x, y, cx, cy;  // dialog units
};

struct SmallDialogLayout {
  int templateId;
  const char* title;
  short cx, cy;
  std::vector<SmallDialogItem> items;
};

const SmallDialogLayout& MessageDialogLayout();
const SmallDialogLayout& InputDialogLayout();
const SmallDialogLayout& ManagePresetsDialogLayout();

// ---- Preset deletion -------------------------------------------------------------

// The management dialog's Delete: with nothing selected nothing happens and
// nobody is asked; otherwise ask() is asked, and only a yes (6) deletes the
// selected preset from the store and removes that one name from names.  True
// when it was deleted.
bool DeleteSelectedPreset(SettingsStore& store, std::vector<std::string>& names,
                          const std::optional<std::string>& selected,
                          const std::function<int()>& ask);

}  // namespace tessaro
