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
