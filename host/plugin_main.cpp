// The module's single export.  The host looks it up by the name in the
// plug-in property list, so it must stay undecorated.
#include <cstdint>

#include "host/plugin_app.h"
#include "image/worker_pool.h"

#if defined(_WIN32)
#define TESSARO_EXPORT __declspec(dllexport)
#else
#define TESSARO_EXPORT __attribute__((visibility("default")))
#endif

extern "C" TESSARO_EXPORT void PluginMainTessaro(int16_t selector, void* filterRecord,
                                                 intptr_t* data, int16_t* result) {
  tessaro::host::PluginMain(selector, filterRecord, data, result);
  // No thread of the module may outlive the call: the host can unload it next.
  tessaro::StopWorkers();
}
