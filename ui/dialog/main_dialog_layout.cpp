#include "ui/dialog/main_dialog_layout.h"

#include "settings/effect_settings.h"

namespace tessaro {

namespace {

using K = MainItemKind;
constexpr Anchor kLeftColumn = {0, 0};
constexpr Anchor kSplit = {5, 0};
constexpr Anchor kRightEdge = {10, 0};

int Control(SettingId id) { return Info(id).controlId; }
int Label(SettingId id) { return Info(id).labelId; }
const char* Text(SettingId id) { return Info(id).label; }

// The value controls take their ids and texts from the settings table, so a
// parameter is named in one place.
std::vector<MainDialogItem> BuildItems() {
  using S = SettingId;
  const Anchor none = kNoAnchor;
  const Anchor right = kAnchorTopRight;
  return {
      {kMenuButtonId, K::kPushButton, "Menu", 12, 29, 78, 17, kLeftColumn, kSplit, true, 0},
      {kPresetsButtonId, K::kPushButton, "Presets", 95, 29, 78, 17, kSplit, kRightEdge, true, 0},
      {Label(S::AngleX), K::kLabel, Text(S::AngleX), 12, 53, 71, 8, kLeftColumn, kSplit, true, 0},
      {Control(S::AngleX), K::kSlider, "", 12, 66, 78, 13, kLeftColumn, kSplit, true, 5},
      {Label(S::AngleY), K::kLabel, Text(S::AngleY), 95, 52, 80, 8, kSplit, kRightEdge, true, 0},
      {Control(S::AngleY), K::kSlider, "", 95, 66, 78, 13, kSplit, kRightEdge, true, 5},
      {Label(S::Perspective), K::kLabel, Text(S::Perspective), 12, 86, 76, 8, kLeftColumn, kSplit,
       true, 0},
      {Control(S::Perspective), K::kSlider, "", 12, 99, 78, 13, kLeftColumn, kSplit, true, 5},
      {Label(S::Zoom), K::kLabel, Text(S::Zoom), 95, 86, 78, 8, kSplit, kRightEdge, true, 0},
      {Control(S::Zoom), K::kSlider, "", 95, 99, 78, 13, kSplit, kRightEdge, true, 10},
      {Label(S::Depth), K::kLabel, Text(S::Depth), 12, 119, 78, 8, kLeftColumn, kSplit, true, 0},
      {Control(S::Depth), K::kSlider, "", 12, 132, 78, 13, kLeftColumn, kSplit, true, 5},
      {Label(S::Round), K::kLabel, Text(S::Round), 95, 119, 78, 8, kSplit, kRightEdge, true, 0},
      {Control(S::Round), K::kSlider, "", 95, 132, 78, 13, kSplit, kRightEdge, true, 5},
      {Control(S::ColorOverlay), K::kCheckButton, Text(S::ColorOverlay), 12, 152, 78, 17,
       kLeftColumn, kSplit, true, 0},
      {Control(S::Color), K::kColorButton, Text(S::Color), 95, 152, 78, 17, kSplit, kRightEdge,
       true, 0},
      {Label(S::ColorOpacity), K::kLabel, Text(S::ColorOpacity), 12, 174, 111, 8, kLeftColumn,
       kRightEdge, true, 0},
      {Control(S::ColorOpacity), K::kSlider, "", 12, 187, 160, 13, kLeftColumn, kRightEdge, true,
       5},
      {Control(S::Lighting), K::kCheckButton, Text(S::Lighting), 12, 207, 104, 17, kLeftColumn,
       kRightEdge, true, 0},
      {Control(S::SmoothDepth), K::kCheckButton, Text(S::SmoothDepth), 12, 237, 104, 17,
       kLeftColumn, kRightEdge, true, 0},
      {Control(S::LightDirection), K::kDial, "angle", 121, 207, 52, 48, kRightEdge, none, true, 0},
      {Control(S::HighlightColor), K::kColorButton, Text(S::HighlightColor), 12, 262, 78, 17,
       kLeftColumn, kSplit, true, 0},
      {Control(S::ShadowColor), K::kColorButton, Text(S::ShadowColor), 95, 262, 78, 17, kSplit,
       kRightEdge, true, 0},
      {Label(S::HighlightOpacity), K::kLabel, Text(S::HighlightOpacity), 12, 284, 78, 8,
       kLeftColumn, kSplit, true, 0},
      {Control(S::HighlightOpacity), K::kSlider, "", 12, 297, 78, 13, kLeftColumn, kSplit, true,
       5},
      {Label(S::ShadowOpacity), K::kLabel, Text(S::ShadowOpacity), 95, 284, 78, 8, kSplit,
       kRightEdge, true, 0},
      {Control(S::ShadowOpacity), K::kSlider, "", 95, 297, 78, 13, kSplit, kRightEdge, true, 5},
      {kPreviewId, K::kPreview, "preview", 180, 29, 338, 281, kRightEdge, kAnchorBottomRight, true,
       0},
      {kProgressId, K::kProgress, "", 180, 321, 179, 10, {10, 100}, kAnchorBottomRight, true, 0},
      {kHomeLinkId, K::kLink, "", 12, 321, 165, 9, kAnchorBottomLeft, none, true, 0},
      {kMainOkId, K::kDefaultButton, "OK", 365, 317, 74, 17, kAnchorBottomRight, none, true, 0},
      {kMainCancelId, K::kPushButton, "Cancel", 444, 317, 74, 17, kAnchorBottomRight, none, true,
       0},
      {kCaptionMenuButtonId, K::kCaptionButton, "", 5, 5, 20, 17, none, none, false, 0},
      {kCaptionCloseButtonId, K::kCaptionButton, "", 505, 5, 20, 17, right, none, true, 0},
      {kCaptionId, K::kCaption, "Tessaro", 25, 5, 480, 17, none, none, false, 0},
      {Label(S::LightDirection), K::kHiddenLabel, Text(S::LightDirection), 461, 262, 63, 8, none,
       none, false, 0},
  };
}

}  // namespace

const std::vector<MainDialogItem>& MainDialogItems() {
  static const std::vector<MainDialogItem> items = BuildItems();
  return items;
}

const MainDialogItem* FindMainDialogItem(int id) {
  for (const MainDialogItem& item : MainDialogItems())
    if (item.id == id) return &item;
  return nullptr;
}

}  // namespace tessaro
