#pragma once
// The capture output's stream configuration: its capabilities as format
// entries, and the format change the controller asks for.
#include <windows.h>
#include <dshow.h>

#include <string>
#include <vector>

#include "capture/capture_device.h"

namespace orvix::dshow {

// One entry per video capability, in the device's order.
std::vector<TIEVideoFormat> readFormatTable(IAMStreamConfig* config);

// Takes the current format, puts in the size (both non-zero) and the named
// subtype (a name not in the table selects its first entry), recomputes the
// sample size, clears bit rate, frame interval and image size so the device
// picks its defaults, and hands it back. The device's answer is ignored.
void applyFormat(IAMStreamConfig* config, int width, int height, const std::string& subtypeName);

}  // namespace orvix::dshow
