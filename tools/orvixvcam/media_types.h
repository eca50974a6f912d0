#pragma once
// The camera's one output format family: uncompressed 24-bit RGB video in a
// plain video-info block, at four fixed sizes.
#include <windows.h>
#include <dshow.h>

#include <array>
#include <optional>

#include "capture/win32/media_type.h"

namespace orvix::vcam {

struct FrameSize {
    LONG width = 0;
    LONG height = 0;
    friend bool operator==(const FrameSize&, const FrameSize&) = default;
};

inline constexpr std::array<FrameSize, 4> kCapabilities{{{640, 480}, {1280, 960}, {1600, 1200}, {2592, 1944}}};
inline constexpr int kFramesPerSecond = 15;
inline constexpr REFERENCE_TIME kFrameInterval = 10'000'000 / kFramesPerSecond;

DWORD imageBytes(FrameSize size);

// Fills mt (its old contents are not freed); the format block is CoTaskMemAlloc'ed.
void initVideoType(AM_MEDIA_TYPE& mt, FrameSize size);
// A whole media type in task memory, as out parameters hand them over.
AM_MEDIA_TYPE* newVideoType(FrameSize size);
// The control's own media type helpers free what a type holds.
using dshow::freeMediaTypeContents;
void deleteMediaType(AM_MEDIA_TYPE* mt);

// The size of a complete media type the camera can deliver, or nothing.
std::optional<FrameSize> deliverableSize(const AM_MEDIA_TYPE& mt);
// Whether a possibly partial type (null GUIDs match anything) admits the size.
bool admits(const AM_MEDIA_TYPE& partial, FrameSize size);

void fillStreamCaps(VIDEO_STREAM_CONFIG_CAPS& caps, FrameSize size);

}  // namespace orvix::vcam
