#include "capture/win32/media_type.h"

#include <dvdmedia.h>
#include <uuids.h>

#include <cstring>

namespace orvix::dshow {

void freeMediaTypeContents(AM_MEDIA_TYPE& mt) {
    if (mt.cbFormat) CoTaskMemFree(mt.pbFormat);
    mt.cbFormat = 0;
    mt.pbFormat = nullptr;
    if (mt.pUnk) mt.pUnk->Release();
    mt.pUnk = nullptr;
}

void MediaTypeDeleter::operator()(AM_MEDIA_TYPE* mt) const {
    if (!mt) return;
    freeMediaTypeContents(*mt);
    CoTaskMemFree(mt);
}

BITMAPINFOHEADER* bitmapHeader(AM_MEDIA_TYPE& mt) {
    if (!mt.pbFormat) return nullptr;
    if (IsEqualGUID(mt.formattype, FORMAT_VideoInfo) && mt.cbFormat >= sizeof(VIDEOINFOHEADER)) {
        return &reinterpret_cast<VIDEOINFOHEADER*>(mt.pbFormat)->bmiHeader;
    }
    if (IsEqualGUID(mt.formattype, FORMAT_VideoInfo2) && mt.cbFormat >= sizeof(VIDEOINFOHEADER2)) {
        return &reinterpret_cast<VIDEOINFOHEADER2*>(mt.pbFormat)->bmiHeader;
    }
    return nullptr;
}

const VIDEOINFOHEADER* videoInfo(const AM_MEDIA_TYPE& mt) {
    if (!mt.pbFormat || !IsEqualGUID(mt.formattype, FORMAT_VideoInfo) || mt.cbFormat < sizeof(VIDEOINFOHEADER)) {
        return nullptr;
    }
    return reinterpret_cast<const VIDEOINFOHEADER*>(mt.pbFormat);
}

SubtypeGuid toSubtypeGuid(const GUID& g) {
    SubtypeGuid s;
    s.data1 = static_cast<std::uint32_t>(g.Data1);
    s.data2 = g.Data2;
    s.data3 = g.Data3;
    std::memcpy(s.data4, g.Data4, sizeof s.data4);
    return s;
}

GUID toGuid(const SubtypeGuid& s) {
    GUID g;
    g.Data1 = s.data1;
    g.Data2 = s.data2;
    g.Data3 = s.data3;
    std::memcpy(g.Data4, s.data4, sizeof g.Data4);
    return g;
}

}  // namespace orvix::dshow
