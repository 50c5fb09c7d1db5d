// The about box the host's about call shows, where the build has windows.
#pragma once

namespace tessaro::host {

// Runs the about box modally.  False when this build has no about box to
// show (no window system); the caller says so instead of pretending.
bool ShowAboutBox();

}  // namespace tessaro::host
