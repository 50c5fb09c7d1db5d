#include "host/about_box.h"

namespace tessaro::host {

// Without a window system there is no box to show.
bool ShowAboutBox() { return false; }

}  // namespace tessaro::host
