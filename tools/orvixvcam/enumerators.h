#pragma once
// The enumerators a filter hands out: its pins, and a pin's media types.
#include <windows.h>
#include <dshow.h>

#include <vector>

#include "media_types.h"

namespace orvix::vcam {

// Enumerates `pins`, each kept alive by the enumerator.
HRESULT createPinEnumerator(std::vector<IPin*> pins, IEnumPins** out);
// Enumerates video types of the given sizes, in that order.
HRESULT createMediaTypeEnumerator(std::vector<FrameSize> sizes, IEnumMediaTypes** out);

}  // namespace orvix::vcam
