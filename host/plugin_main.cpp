// The module's single export.  The host looks it up by the name in the
// plug-in property list, so it must stay undecorated.
#include <cstdint>

#include "host/interface_hooks.h"
#include "host/plugin_app.h"
#include "image/worker_pool.h"
#include "ui/dialog/product_interface.h"

#if defined(_WIN32)
#define TESSARO_EXPORT __declspec(dllexport)
#else
#define TESSARO_EXPORT __attribute__((visibility("default")))
#endif

extern "C" TESSARO_EXPORT void PluginMainTessaro(int16_t selector, void* filterRecord,
                                                 intptr_t* data, int16_t* result) {
  // The host glue has no windows of its own: the product's come in here,
  // before the first call does anything.
  static const bool installed =
      (tessaro::host::InstallInterfaceHooks(tessaro::ProductInterfaceHooks()), true);
  (void)installed;
  tessaro::host::PluginMain(selector, filterRecord, data, result);
  // No thread of the module may outlive the call: the host can unload it next.
  tessaro::StopWorkers();
}
