#include "ui/dialog/product_interface.h"

#include "ui/dialog/interface_styles.h"

namespace tessaro {

// No window system: only the drawing state, which the portable painters share.
host::InterfaceHooks ProductInterfaceHooks() {
  host::InterfaceHooks hooks;
  hooks.resetDrawingState = ResetBorderTable;
  return hooks;
}

}  // namespace tessaro
