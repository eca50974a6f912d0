#pragma once
// Ownership of DirectShow media types, which the strmbase library would
// otherwise free (this build has no base classes).
#include <windows.h>
#include <dshow.h>

#include <memory>

#include "capture/video_subtypes.h"

namespace orvix::dshow {

// Frees the format block and the object reference a media type holds.
void freeMediaTypeContents(AM_MEDIA_TYPE& mt);

struct MediaTypeDeleter {
    void operator()(AM_MEDIA_TYPE* mt) const;
};
// A media type handed out in task memory (IAMStreamConfig::GetFormat, GetStreamCaps).
using MediaTypePtr = std::unique_ptr<AM_MEDIA_TYPE, MediaTypeDeleter>;

// A media type filled in place by the callee (GetConnectedMediaType).
class MediaTypeValue {
public:
    MediaTypeValue() : mt_{} {}
    ~MediaTypeValue() { freeMediaTypeContents(mt_); }
    MediaTypeValue(const MediaTypeValue&) = delete;
    MediaTypeValue& operator=(const MediaTypeValue&) = delete;
    AM_MEDIA_TYPE* get() { return &mt_; }
    const AM_MEDIA_TYPE& operator*() const { return mt_; }

private:
    AM_MEDIA_TYPE mt_;
};

// The bitmap header inside a video-info or video-info-2 format block; null for any other block.
BITMAPINFOHEADER* bitmapHeader(AM_MEDIA_TYPE& mt);
// The plain video-info block, or null.
const VIDEOINFOHEADER* videoInfo(const AM_MEDIA_TYPE& mt);

SubtypeGuid toSubtypeGuid(const GUID& g);
GUID toGuid(const SubtypeGuid& g);

}  // namespace orvix::dshow
