#include "media_types.h"

#include <uuids.h>

#include <algorithm>
#include <cstring>

namespace orvix::vcam {

DWORD imageBytes(FrameSize size) {
    return static_cast<DWORD>(((size.width * 3 + 3) & ~3) * size.height);
}

void initVideoType(AM_MEDIA_TYPE& mt, FrameSize size) {
    std::memset(&mt, 0, sizeof mt);
    auto* vih = static_cast<VIDEOINFOHEADER*>(CoTaskMemAlloc(sizeof(VIDEOINFOHEADER)));
    if (vih) {
        std::memset(vih, 0, sizeof *vih);
        vih->AvgTimePerFrame = kFrameInterval;
        vih->dwBitRate = imageBytes(size) * 8 * kFramesPerSecond;
        vih->rcSource = {0, 0, size.width, size.height};
        vih->rcTarget = vih->rcSource;
        BITMAPINFOHEADER& bmi = vih->bmiHeader;
        bmi.biSize = sizeof(BITMAPINFOHEADER);
        bmi.biWidth = size.width;
        bmi.biHeight = size.height;  // positive: bottom-up rows
        bmi.biPlanes = 1;
        bmi.biBitCount = 24;
        bmi.biCompression = BI_RGB;
        bmi.biSizeImage = imageBytes(size);
    }
    mt.majortype = MEDIATYPE_Video;
    mt.subtype = MEDIASUBTYPE_RGB24;
    mt.bFixedSizeSamples = TRUE;
    mt.bTemporalCompression = FALSE;
    mt.lSampleSize = imageBytes(size);
    mt.formattype = FORMAT_VideoInfo;
    mt.cbFormat = vih ? sizeof(VIDEOINFOHEADER) : 0;
    mt.pbFormat = reinterpret_cast<BYTE*>(vih);
}

AM_MEDIA_TYPE* newVideoType(FrameSize size) {
    auto* mt = static_cast<AM_MEDIA_TYPE*>(CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE)));
    if (!mt) return nullptr;
    initVideoType(*mt, size);
    if (!mt->pbFormat) {
        CoTaskMemFree(mt);
        return nullptr;
    }
    return mt;
}

void deleteMediaType(AM_MEDIA_TYPE* mt) {
    if (!mt) return;
    freeMediaTypeContents(*mt);
    CoTaskMemFree(mt);
}

std::optional<FrameSize> deliverableSize(const AM_MEDIA_TYPE& mt) {
    if (!IsEqualGUID(mt.majortype, MEDIATYPE_Video) || !IsEqualGUID(mt.subtype, MEDIASUBTYPE_RGB24) ||
        !IsEqualGUID(mt.formattype, FORMAT_VideoInfo) || mt.cbFormat < sizeof(VIDEOINFOHEADER) || !mt.pbFormat) {
        return std::nullopt;
    }
    const BITMAPINFOHEADER& bmi = reinterpret_cast<const VIDEOINFOHEADER*>(mt.pbFormat)->bmiHeader;
    if (bmi.biCompression != BI_RGB || (bmi.biBitCount != 24 && bmi.biBitCount != 0)) return std::nullopt;
    const FrameSize size{bmi.biWidth, bmi.biHeight};
    if (std::find(kCapabilities.begin(), kCapabilities.end(), size) == kCapabilities.end()) return std::nullopt;
    return size;
}

bool admits(const AM_MEDIA_TYPE& partial, FrameSize size) {
    if (!IsEqualGUID(partial.majortype, GUID_NULL) && !IsEqualGUID(partial.majortype, MEDIATYPE_Video)) return false;
    if (!IsEqualGUID(partial.subtype, GUID_NULL) && !IsEqualGUID(partial.subtype, MEDIASUBTYPE_RGB24)) return false;
    if (IsEqualGUID(partial.formattype, GUID_NULL)) return true;
    const std::optional<FrameSize> asked = deliverableSize(partial);
    return asked && *asked == size;
}

void fillStreamCaps(VIDEO_STREAM_CONFIG_CAPS& caps, FrameSize size) {
    std::memset(&caps, 0, sizeof caps);
    const SIZE s{size.width, size.height};
    caps.guid = FORMAT_VideoInfo;
    caps.VideoStandard = 0;  // a digital camera: no analog standard
    caps.InputSize = s;
    caps.MinCroppingSize = s;
    caps.MaxCroppingSize = s;
    caps.CropGranularityX = 1;
    caps.CropGranularityY = 1;
    caps.CropAlignX = 1;
    caps.CropAlignY = 1;
    caps.MinOutputSize = s;
    caps.MaxOutputSize = s;
    caps.OutputGranularityX = 1;
    caps.OutputGranularityY = 1;
    caps.MinFrameInterval = kFrameInterval;
    caps.MaxFrameInterval = 10'000'000;
    caps.MinBitsPerSecond = static_cast<LONG>(imageBytes(size) * 8);
    caps.MaxBitsPerSecond = static_cast<LONG>(imageBytes(size) * 8 * kFramesPerSecond);
}

}  // namespace orvix::vcam
