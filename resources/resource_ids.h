// Resource identifiers shared by the resource script and the code.
#pragma once

#define PROPERTY_LIST_ID 17000
#define TERMINOLOGY_ID 17000

#define WARNING_ICON_ID 177
#define QUESTION_ICON_ID 178
#define CHECKED_BOX_ICON_ID 188
#define EMPTY_BOX_ICON_ID 189
#define CAPTION_MENU_ICON_ID 1007
#define CAPTION_CLOSE_ICON_ID 1015
#define EYEDROPPER_CURSOR_ID 1014

// The about box's logo: a 24-bit bitmap file under a type of its own.
#define ABOUT_LOGO_ID 252

// Keys of every tool dialog: Alt+F1 sends the application-exit command, which
// no tool dialog handles and the module has no main window to close.
#define TOOL_ACCELERATORS_ID 1002
#define APP_EXIT_COMMAND_ID 57665

#ifndef RC_INVOKED
// The sizes of the drawn icons and cursor, which the windows that show them
// scale with the display as well.
namespace tessaro::resources {

constexpr int kMessageIconSize = 38;  // the message dialog's warning and question
constexpr int kSmallIconSize = 16;    // check box states and caption buttons
constexpr int kCursorSize = 32;
// The sizes each file holds: for 96, 144 and 192 DPI.
constexpr int kMessageIconSizes[3] = {38, 57, 76};
constexpr int kSmallIconSizes[3] = {16, 24, 32};
constexpr int kCursorSizes[3] = {32, 48, 64};

}  // namespace tessaro::resources
#endif
