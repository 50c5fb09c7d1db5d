// The effect dialog's template as one table (every item with its id, text,
// place in dialog units, anchors and slider page) and the ids and timers the
// dialog's code names.  The Windows template is built from this table; the
// portable decisions (rebuild levels, menus) use the same ids.
#pragma once

#include <cstdint>
#include <vector>

#include "ui/toolkit/frame_layout.h"

namespace tessaro {

constexpr int kMainDialogTemplateId = 1000;
constexpr short kMainDialogUnitsWidth = 530;
constexpr short kMainDialogUnitsHeight = 342;

// Controls that carry no effect value (the value controls' ids are in the
// settings table).
constexpr int kMainOkId = 1;
constexpr int kMainCancelId = 2;
constexpr int kPresetsButtonId = 3;
constexpr int kMenuButtonId = 4;
constexpr int kPreviewId = 1006;
constexpr int kCaptionMenuButtonId = 1023;
constexpr int kHomeLinkId = 1033;
constexpr int kProgressId = 1034;
constexpr int kCaptionCloseButtonId = 1035;

enum class MainItemKind {
  kPushButton,
  kDefaultButton,
  kCheckButton,    // owner-drawn toggle with the ticked / empty box icon
  kColorButton,
  kLabel,          // transparent static
  kHiddenLabel,
  kSlider,
  kDial,
  kPreview,
  kProgress,       // hidden until a render takes long
  kLink,
  kCaptionButton,  // owner-drawn icon button in the caption strip
  kCaption,        // the frame's hidden title static
};

struct MainDialogItem {
  int id;
  MainItemKind kind;
  const char* text;
  short x, y, cx, cy;      // dialog units
  Anchor topLeft;
  Anchor bottomRight;      // kNoAnchor: the control keeps its size
  bool anchored;           // false: the frame (or nothing) places it
  int32_t page;            // sliders: the page step
};

const std::vector<MainDialogItem>& MainDialogItems();
const MainDialogItem* FindMainDialogItem(int id);

// ---- Timers of the rebuild schedule --------------------------------------------

constexpr unsigned kFirstBuildTimer = 777;
constexpr unsigned kSlicesTimer = 667;
constexpr unsigned kShadeTimer = 668;
constexpr unsigned kRenderTimer = 666;

constexpr unsigned kChangeDelayMs = 250;
// Eyedropper changes and settings applied with refresh are a little quicker.
constexpr unsigned kRefreshDelayMs = 230;

// The progress bar appears only for renders that take longer than this.
constexpr uint32_t kProgressShowAfterMs = 500;

// Size the window takes when no placement is stored, in pixels.
constexpr int32_t kFirstWindowWidth = 905;
constexpr int32_t kFirstWindowHeight = 560;

}  // namespace tessaro
