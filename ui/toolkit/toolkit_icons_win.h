// Icons and cursors of the controls, loaded from the module's resources by id.
// A module without the resource gets no icon and the system's arrow: a control
// never shows a picture that is not the module's own.
#pragma once

#include <windows.h>

#include "resources/resource_ids.h"

namespace tessaro {

constexpr int kEyedropperCursorId = EYEDROPPER_CURSOR_ID;

// The caller owns the icon (DestroyIcon).  Null when the module has no icon of
// that id.
HICON LoadToolkitIcon(int id, int width, int height);
// A shared cursor that lives as long as the module; do not destroy it.
HCURSOR LoadToolkitCursor(int id, int size);

}  // namespace tessaro
