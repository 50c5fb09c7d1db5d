// The host's colour picker as editors really answer it: some have none, some
// fail, some report a cancelled pick as success.  What the dialog makes of a
// call to colour services.
#pragma once

#include <cstdint>

#include "host/plugin_interface.h"

namespace tessaro {

enum class HostPick {
  kPicked,       // a new colour was chosen
  kCancelled,    // nothing changes: the user cancelled, or kept the colour
  kUnavailable,  // the host's picker did not work: the system's takes over
};

// The request for the swatch colour (0x00BBGGRR): choose a colour, RGB in
// and out, no prompt.
host::ColorServicesInfo HostPickRequest(uint32_t color);

// result is what colorServices returned for request.  A cancel (-128) and a
// success that hands back the same colour both change nothing; any other
// failure, or components that are no RGB colour, mean the host could not
// pick.  *picked receives the new colour only with kPicked.
HostPick InterpretHostPick(int16_t result, const host::ColorServicesInfo& answer,
                           uint32_t before, uint32_t* picked);

}  // namespace tessaro
