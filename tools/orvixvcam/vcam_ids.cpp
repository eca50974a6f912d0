#include "vcam_ids.h"

#include <cstdio>

namespace orvix::vcam {
namespace {

constexpr GUID kBaseClsid = {0x6c2f7e00, 0x1b4d, 0x4a9e, {0x8f, 0x35, 0x2d, 0x91, 0xc6, 0x0e, 0x7a, 0x54}};

}  // namespace

GUID instanceClsid(int n) {
    GUID g = kBaseClsid;
    g.Data1 += static_cast<unsigned long>(n);
    return g;
}

int instanceOf(REFCLSID clsid) {
    GUID base = clsid;
    const unsigned long n = clsid.Data1 - kBaseClsid.Data1;
    if (n >= static_cast<unsigned long>(kMaxInstances)) return -1;
    base.Data1 = kBaseClsid.Data1;
    return IsEqualGUID(base, kBaseClsid) ? static_cast<int>(n) : -1;
}

std::wstring instanceKeyName(int n) {
    wchar_t name[32];
    std::swprintf(name, 32, L"OrvixVCam %02d", n);
    return name;
}

}  // namespace orvix::vcam
