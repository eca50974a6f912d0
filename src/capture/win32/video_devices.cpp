#include "capture/win32/video_devices.h"

#include <oleauto.h>
#include <uuids.h>

#include "control/code_page.h"

namespace orvix::dshow {
namespace {

using com::ComPtr;

std::string friendlyName(IMoniker* moniker, const CodePage& codePage) {
    ComPtr<IPropertyBag> bag;
    if (FAILED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, reinterpret_cast<void**>(bag.put()))) ||
        !bag) {
        return {};
    }
    VARIANT value;
    VariantInit(&value);
    std::string name;
    if (SUCCEEDED(bag->Read(L"FriendlyName", &value, nullptr)) && value.vt == VT_BSTR && value.bstrVal) {
        name = codePage.fromUtf16(
            std::u16string_view(reinterpret_cast<const char16_t*>(value.bstrVal), SysStringLen(value.bstrVal)));
    }
    VariantClear(&value);
    return name;
}

}  // namespace

std::vector<VideoDevice> enumerateVideoDevices() {
    std::vector<VideoDevice> devices;
    ComPtr<ICreateDevEnum> system;
    if (FAILED(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                                reinterpret_cast<void**>(system.put())))) {
        return devices;
    }
    ComPtr<IEnumMoniker> monikers;
    // S_FALSE and no enumerator: the category is empty.
    if (system->CreateClassEnumerator(CLSID_VideoInputDeviceCategory, monikers.put(), 0) != S_OK || !monikers) {
        return devices;
    }
    const auto codePage = makeSystemCodePage();
    for (;;) {
        ComPtr<IMoniker> moniker;
        if (monikers->Next(1, moniker.put(), nullptr) != S_OK || !moniker) break;
        devices.push_back({friendlyName(moniker.get(), *codePage), moniker});
    }
    return devices;
}

}  // namespace orvix::dshow
