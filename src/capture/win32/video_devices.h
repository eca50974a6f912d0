#pragma once
// The system's video input devices with their friendly names, in the order
// the system device enumerator lists them.
#include <windows.h>
#include <dshow.h>

#include <string>
#include <vector>

#include "control/win32/com_ptr.h"

namespace orvix::dshow {

struct VideoDevice {
    std::string name;  // 8-bit, in the thread's ANSI code page; "" when the device has none
    com::ComPtr<IMoniker> moniker;
};

// Empty when there is no device or the enumeration fails.
std::vector<VideoDevice> enumerateVideoDevices();

}  // namespace orvix::dshow
