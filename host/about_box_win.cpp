#include "host/about_box.h"

#include "ui/dialog/about_dlg_win.h"

namespace tessaro::host {

bool ShowAboutBox() {
  CAboutDlg box;
  box.Run();
  return true;
}

}  // namespace tessaro::host
