// Rectangles of the record, in their 32-bit form where the host offers one.
#pragma once

#include "host/plugin_interface.h"

namespace tessaro::host {

// The filter rectangle: from the big-document record when the host provides
// it (documents may exceed the 16-bit fields), else from the 16-bit field.
VRect FilterRectOf(FilterRecord& record);

// Requests the input, output and mask rectangles.  Writes the 16-bit fields
// always, and the 32-bit ones as well when the host offers them.
void RequestRects(FilterRecord& record, const VRect& in, const VRect& out, const VRect& mask);

inline int32_t WidthOf(const VRect& r) { return r.right - r.left; }
inline int32_t HeightOf(const VRect& r) { return r.bottom - r.top; }

}  // namespace tessaro::host
