// Icons and cursors of the controls.  Each is loaded from the module's
// resources by id; an id the module does not carry yet gets a picture drawn
// in code instead, so the controls look complete and a real resource replaces
// the stand-in without any change to the controls.
#pragma once

#include <windows.h>

namespace tessaro {

constexpr int kEyedropperCursorId = 1014;

// The caller owns the icon (DestroyIcon).  Never null unless the system is
// out of resources.
HICON LoadToolkitIcon(int id, int width, int height);
// A cursor the process keeps for its whole life; do not destroy it.
HCURSOR LoadToolkitCursor(int id);

}  // namespace tessaro
