// The product's windows as the host glue reaches them: the hooks the module
// installs before the host's first call.
#pragma once

#include "host/interface_hooks.h"

namespace tessaro {

// On Windows the effect dialog, the about box and the message dialog; in
// every build the reset of the skin's drawing state.
host::InterfaceHooks ProductInterfaceHooks();

}  // namespace tessaro
