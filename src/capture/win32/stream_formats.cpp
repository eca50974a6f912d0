#include "capture/win32/stream_formats.h"

#include <dvdmedia.h>
#include <uuids.h>

#include <algorithm>

#include "capture/video_subtypes.h"
#include "capture/win32/media_type.h"

namespace orvix::dshow {

std::vector<TIEVideoFormat> readFormatTable(IAMStreamConfig* config) {
    std::vector<TIEVideoFormat> table;
    int count = 0, size = 0;
    if (!config || FAILED(config->GetNumberOfCapabilities(&count, &size))) return table;
    // A driver that reports a smaller capability record is not describing video.
    if (size < static_cast<int>(sizeof(VIDEO_STREAM_CONFIG_CAPS))) return table;
    std::vector<BYTE> record(static_cast<std::size_t>(size));
    for (int i = 0; i < count; ++i) {
        AM_MEDIA_TYPE* raw = nullptr;
        std::fill(record.begin(), record.end(), BYTE{0});
        const HRESULT hr = config->GetStreamCaps(i, &raw, record.data());
        const MediaTypePtr mt{raw};
        if (hr != S_OK || !mt) continue;
        VIDEO_STREAM_CONFIG_CAPS caps;
        std::copy_n(record.data(), sizeof caps, reinterpret_cast<BYTE*>(&caps));
        TIEVideoFormat f;
        f.subtypeName = videoSubtypeName(toSubtypeGuid(mt->subtype));
        if (const VIDEOINFOHEADER* vih = videoInfo(*mt)) {
            f.bitsPerSecond = vih->dwBitRate;
        } else if (IsEqualGUID(mt->formattype, FORMAT_VideoInfo2) && mt->pbFormat &&
                   mt->cbFormat >= sizeof(VIDEOINFOHEADER2)) {
            f.bitsPerSecond = reinterpret_cast<const VIDEOINFOHEADER2*>(mt->pbFormat)->dwBitRate;
        }
        f.standards = analogStandardNames(static_cast<std::uint32_t>(caps.VideoStandard));
        f.outputMinWidth = caps.MinOutputSize.cx;
        f.outputMinHeight = caps.MinOutputSize.cy;
        f.outputMaxWidth = caps.MaxOutputSize.cx;
        f.outputMaxHeight = caps.MaxOutputSize.cy;
        f.outputStepX = caps.OutputGranularityX;
        f.outputStepY = caps.OutputGranularityY;
        table.push_back(std::move(f));
    }
    return table;
}

void applyFormat(IAMStreamConfig* config, int width, int height, const std::string& subtypeName) {
    AM_MEDIA_TYPE* raw = nullptr;
    if (!config || FAILED(config->GetFormat(&raw)) || !raw) return;
    const MediaTypePtr mt{raw};
    BITMAPINFOHEADER* bmi = bitmapHeader(*mt);
    if (bmi && width != 0 && height != 0) {
        bmi->biWidth = width;
        bmi->biHeight = height;
    }
    int bits = bmi ? bmi->biBitCount : 0;
    if (!subtypeName.empty()) {
        const VideoSubtype& subtype = subtypeForFormatChange(subtypeName);
        mt->subtype = toGuid(subtype.guid);
        bits = subtype.bitsPerPixel;
    } else if (const VideoSubtype* current = findVideoSubtype(videoSubtypeName(toSubtypeGuid(mt->subtype)))) {
        bits = current->bitsPerPixel;
    }
    if (bmi) {
        const std::int64_t bytes = formatSampleSize(bits, bmi->biWidth, bmi->biHeight);
        mt->lSampleSize = static_cast<ULONG>(std::clamp<std::int64_t>(bytes, 0, 0xffffffff));
        bmi->biSizeImage = 0;
    }
    if (IsEqualGUID(mt->formattype, FORMAT_VideoInfo) && mt->cbFormat >= sizeof(VIDEOINFOHEADER)) {
        auto* vih = reinterpret_cast<VIDEOINFOHEADER*>(mt->pbFormat);
        vih->dwBitRate = 0;
        vih->AvgTimePerFrame = 0;
    } else if (IsEqualGUID(mt->formattype, FORMAT_VideoInfo2) && mt->cbFormat >= sizeof(VIDEOINFOHEADER2)) {
        auto* vih = reinterpret_cast<VIDEOINFOHEADER2*>(mt->pbFormat);
        vih->dwBitRate = 0;
        vih->AvgTimePerFrame = 0;
    }
    config->SetFormat(mt.get());
}

}  // namespace orvix::dshow
