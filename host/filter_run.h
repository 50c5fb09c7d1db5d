// The host's pixels for one run: the request for the whole filter rectangle,
// the object's bounds, and the final composite into the output buffer.
#pragma once

#include <cstdint>

#include "host/plugin_interface.h"
#include "image/host_pixels.h"

namespace tessaro {
class CDib;
}

namespace tessaro::host {

using tessaro::HostPixels;
using tessaro::ObjectBounds;

// Asks for the whole filter rectangle with every plane and the selection mask,
// in one piece; the transparency plane too on layers that have one.
void RequestWholeImage(FilterRecord& record);

enum class BufferCheck { Ok, NoOutput, NoInput, NoMask };
// Which buffer the host failed to deliver, in the order they are checked.
BufferCheck CheckBuffers(const FilterRecord& record);

// The delivered buffers as a view.  Throws a text when their layout is not
// one the filter can read (a host fault, never the user's).
HostPixels ViewOfBuffers(FilterRecord& record);

enum class BoundsResult { Found, NoSelection, Empty };
BoundsResult FindObjectBounds(const HostPixels& pixels, ObjectBounds& bounds);

// Clears the object's area (to transparency, or to the background colour
// where a flat image is selected) and composites the render over it.
// renderTarget has the filter rectangle's size.
void CompositeResult(const HostPixels& pixels, const CDib& renderTarget);

}  // namespace tessaro::host
