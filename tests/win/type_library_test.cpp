// The embedded type library: identity, the IOrvix member table in vtable order, the
// events and the enums, as hosts and scripts see them.
#include <vector>

#include "com_test_support.h"
#include "control/win32/module.h"

namespace orvix::test {
namespace {

enum Kind : int { Get = INVOKE_PROPERTYGET, Put = INVOKE_PROPERTYPUT, PutRef = INVOKE_PROPERTYPUTREF, Call = INVOKE_FUNC };

struct Member {
    const wchar_t* name;
    DISPID id;
    int kind;
};

// Form properties first, then the control's own members; getters before setters.
const std::vector<Member> kIOrvix = {
    {L"Visible", 201, Get}, {L"Visible", 201, Put}, {L"AutoScroll", 202, Get}, {L"AutoScroll", 202, Put},
    {L"AutoSize", 203, Get}, {L"AutoSize", 203, Put}, {L"AxBorderStyle", 204, Get}, {L"AxBorderStyle", 204, Put},
    {L"Caption", -518, Get}, {L"Caption", -518, Put}, {L"Color", -501, Get}, {L"Color", -501, Put},
    {L"Font", -512, Get}, {L"Font", -512, Put}, {L"Font", -512, PutRef}, {L"KeyPreview", 205, Get},
    {L"KeyPreview", 205, Put}, {L"PixelsPerInch", 206, Get}, {L"PixelsPerInch", 206, Put},
    {L"PrintScale", 207, Get}, {L"PrintScale", 207, Put}, {L"Scaled", 208, Get}, {L"Scaled", 208, Put},
    {L"Active", 209, Get}, {L"DropTarget", 210, Get}, {L"DropTarget", 210, Put}, {L"HelpFile", 211, Get},
    {L"HelpFile", 211, Put}, {L"ScreenSnap", 212, Get}, {L"ScreenSnap", 212, Put}, {L"SnapBuffer", 213, Get},
    {L"SnapBuffer", 213, Put}, {L"DoubleBuffered", 214, Get}, {L"DoubleBuffered", 214, Put},
    {L"AlignDisabled", 215, Get}, {L"VisibleDockClientCount", 216, Get}, {L"Enabled", -514, Get},
    {L"Enabled", -514, Put},
    {L"AboutBox", -552, Call}, {L"camCount", 217, Get}, {L"camCount", 217, Put}, {L"getCamName", 218, Call},
    {L"getCurrentCamSupportFormatCount", 219, Call}, {L"getCurrentCamSupportFormatName", 220, Call},
    {L"setCurrentCamIndex", 221, Call}, {L"setCurrentCamFormat", 222, Call}, {L"startCam", 223, Call},
    {L"stopCam", 224, Call}, {L"capCurrentPicture", 225, Call}, {L"saveAllWithDialog", 226, Call},
    {L"openMultiPictureWithDialog", 227, Call}, {L"uploadToServer", 230, Call}, {L"loadImageFromUrl", 231, Call},
    {L"allImageAsTIFFData", 232, Call}, {L"getImageCount", 233, Call}, {L"deleteAt", 234, Call},
    {L"getCurrentFrame", 235, Call}, {L"getJpegDataById", 236, Call}, {L"clearAll", 237, Call},
    {L"loadWaterMarkPicFromUrl", 238, Call}, {L"drawWaterMark", 239, Call}, {L"drawText", 240, Call},
    {L"drawTextTo", 241, Call}, {L"uploadToServerWithCustResult", 242, Call}, {L"uploadPdfToServer", 243, Call},
    {L"rotateAll", 244, Call}, {L"allImageAsPdfData", 245, Call}, {L"uploadAllasEachJpgToUrl", 246, Call},
    {L"hideEditPanels", 247, Call}, {L"showEditPanels", 248, Call},
};

std::wstring nameOf(ITypeInfo* info, MEMBERID id) {
    BSTR name = nullptr;
    info->GetDocumentation(id, &name, nullptr, nullptr, nullptr);
    std::wstring s = name ? name : L"";
    SysFreeString(name);
    return s;
}

std::wstring docOf(ITypeInfo* info) {
    BSTR doc = nullptr;
    info->GetDocumentation(MEMBERID_NIL, nullptr, &doc, nullptr, nullptr);
    std::wstring s = doc ? doc : L"";
    SysFreeString(doc);
    return s;
}

TEST(TypeLibrary, IdentityVersionAndLocale) {
    ITypeLib* lib = com::typeLib();
    TLIBATTR* attr = nullptr;
    ASSERT_EQ(S_OK, lib->GetLibAttr(&attr));
    EXPECT_TRUE(IsEqualGUID(attr->guid, LIBID_orvixcam));
    EXPECT_EQ(1, attr->wMajorVerNum);
    EXPECT_EQ(0, attr->wMinorVerNum);
    EXPECT_EQ(0x409u, attr->lcid);
    lib->ReleaseTLibAttr(attr);
    BSTR name = nullptr, doc = nullptr;
    lib->GetDocumentation(-1, &name, &doc, nullptr, nullptr);
    EXPECT_EQ(std::wstring(L"orvixcam"), name);
    EXPECT_EQ(std::wstring(L"orvixcam Library"), doc);
    SysFreeString(name);
    SysFreeString(doc);
}

// A dual interface's type info is its dispatch view; the vtable view hangs off it.
ComPtr<ITypeInfo> vtableView() {
    ComPtr<ITypeInfo> dispatch = com::typeInfoOf(IID_IOrvix);
    HREFTYPE ref = 0;
    EXPECT_EQ(S_OK, dispatch->GetRefTypeOfImplType(-1, &ref));
    ComPtr<ITypeInfo> info;
    EXPECT_EQ(S_OK, dispatch->GetRefTypeInfo(ref, info.put()));
    return info;
}

TEST(TypeLibrary, IOrvixMembersInVtableOrderWithTheirDispids) {
    ComPtr<ITypeInfo> info = vtableView();
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(S_OK, info->GetTypeAttr(&attr));
    EXPECT_EQ(TKIND_INTERFACE, attr->typekind);
    EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FDUAL);
    EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FOLEAUTOMATION);
    ASSERT_EQ(kIOrvix.size(), attr->cFuncs);
    info->ReleaseTypeAttr(attr);
    EXPECT_EQ(L"Dispatch interface for Orvix Control", docOf(info.get()));

    short lastSlot = -1;
    for (UINT i = 0; i < kIOrvix.size(); ++i) {
        FUNCDESC* f = nullptr;
        ASSERT_EQ(S_OK, info->GetFuncDesc(i, &f));
        const Member& m = kIOrvix[i];
        EXPECT_EQ(m.name, nameOf(info.get(), f->memid)) << "slot " << i;
        EXPECT_EQ(m.id, f->memid) << narrow(m.name);
        EXPECT_EQ(m.kind, f->invkind) << narrow(m.name);
        // After IDispatch's seven slots, one slot per entry in table order.
        EXPECT_EQ(static_cast<short>((7 + i) * sizeof(void*)), f->oVft) << narrow(m.name);
        EXPECT_GT(f->oVft, lastSlot);
        lastSlot = f->oVft;
        info->ReleaseFuncDesc(f);
    }
}

TEST(TypeLibrary, ResultsAreVariantOutRetvalParameters) {
    ComPtr<ITypeInfo> info = vtableView();
    // (member, index of its parameter list, expected type) for a sample of shapes.
    struct Case {
        const wchar_t* name;
        std::vector<VARTYPE> params;  // the last one is the retval where the member has one
        bool hasRetval;
    };
    const Case cases[] = {
        {L"getCamName", {VT_I4, VT_VARIANT}, true},
        {L"deleteAt", {VT_I4, VT_VARIANT}, true},
        {L"uploadAllasEachJpgToUrl", {VT_BSTR, VT_BSTR, VT_BSTR, VT_I4, VT_VARIANT}, true},
        {L"drawTextTo", {VT_I4, VT_I4, VT_BSTR, VT_BSTR, VT_I4, VT_I4, VT_I4, VT_I4, VT_I4}, false},
        {L"rotateAll", {VT_R8}, false},
        {L"clearAll", {}, false},
    };
    for (const Case& c : cases) {
        DISPID id = DISPID_UNKNOWN;
        LPOLESTR names[] = {const_cast<LPOLESTR>(c.name)};
        ASSERT_EQ(S_OK, info->GetIDsOfNames(names, 1, &id));
        TYPEATTR* attr = nullptr;
        info->GetTypeAttr(&attr);
        bool found = false;
        for (UINT i = 0; i < attr->cFuncs && !found; ++i) {
            FUNCDESC* f = nullptr;
            info->GetFuncDesc(i, &f);
            if (f->memid == id && f->invkind == INVOKE_FUNC) {
                found = true;
                ASSERT_EQ(c.params.size(), static_cast<std::size_t>(f->cParams)) << narrow(c.name);
                for (SHORT p = 0; p < f->cParams; ++p) {
                    TYPEDESC t = f->lprgelemdescParam[p].tdesc;
                    bool retval = f->lprgelemdescParam[p].paramdesc.wParamFlags & PARAMFLAG_FRETVAL;
                    if (t.vt == VT_PTR) t = *t.lptdesc;
                    EXPECT_EQ(c.params[p], t.vt) << narrow(c.name) << " parameter " << p;
                    EXPECT_EQ(c.hasRetval && p == f->cParams - 1, retval) << narrow(c.name) << " parameter " << p;
                }
            }
            info->ReleaseFuncDesc(f);
        }
        info->ReleaseTypeAttr(attr);
        EXPECT_TRUE(found) << narrow(c.name);
    }
}

TEST(TypeLibrary, EventsAndCoclass) {
    ComPtr<ITypeInfo> events = com::typeInfoOf(DIID_IOrvixEvents);
    EXPECT_EQ(L"Events interface for Orvix Control", docOf(events.get()));
    const std::pair<const wchar_t*, DISPID> expected[] = {
        {L"OnActivate", 201}, {L"OnClick", 202}, {L"OnCreate", 203},     {L"OnDblClick", 204},
        {L"OnDestroy", 205},  {L"OnDeactivate", 206}, {L"OnKeyPress", 207}, {L"OnPaint", 208},
    };
    for (auto [name, id] : expected) {
        DISPID got = DISPID_UNKNOWN;
        LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
        EXPECT_EQ(S_OK, events->GetIDsOfNames(names, 1, &got)) << narrow(name);
        EXPECT_EQ(id, got) << narrow(name);
    }

    ComPtr<ITypeInfo> coclass = com::typeInfoOf(CLSID_Orvix);
    EXPECT_EQ(L"Orvix Control", docOf(coclass.get()));
    TYPEATTR* attr = nullptr;
    coclass->GetTypeAttr(&attr);
    EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FCANCREATE);
    EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FCONTROL);
    ASSERT_EQ(2, attr->cImplTypes);
    coclass->ReleaseTypeAttr(attr);
    INT flags0 = 0, flags1 = 0;
    coclass->GetImplTypeFlags(0, &flags0);
    coclass->GetImplTypeFlags(1, &flags1);
    EXPECT_EQ(IMPLTYPEFLAG_FDEFAULT, flags0);
    EXPECT_EQ(IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE, flags1);
}

TEST(TypeLibrary, Enums) {
    struct Case {
        const GUID* guid;
        std::vector<std::pair<const wchar_t*, int>> values;
    };
    const GUID border = {0x71D0C3A9, 0x4E2B, 0x4F86, {0xB5, 0xA7, 0xC9, 0xE8, 0x13, 0x0D, 0x6F, 0x24}};
    const GUID scale = {0xC84E2D16, 0x93A5, 0x4B70, {0x8D, 0x3F, 0x5A, 0x61, 0xE0, 0x7B, 0x29, 0xC8}};
    const GUID mouse = {0x0E6B7A58, 0xD241, 0x4C9F, {0xA8, 0x30, 0xB7, 0x2F, 0x64, 0xC1, 0x5E, 0x93}};
    const Case cases[] = {
        {&border, {{L"afbNone", 0}, {L"afbSingle", 1}, {L"afbSunken", 2}, {L"afbRaised", 3}}},
        {&scale, {{L"poNone", 0}, {L"poProportional", 1}, {L"poPrintToFit", 2}}},
        {&mouse, {{L"mbLeft", 0}, {L"mbRight", 1}, {L"mbMiddle", 2}}},
    };
    for (const Case& c : cases) {
        ComPtr<ITypeInfo> info = com::typeInfoOf(*c.guid);
        TYPEATTR* attr = nullptr;
        info->GetTypeAttr(&attr);
        EXPECT_EQ(TKIND_ENUM, attr->typekind);
        ASSERT_EQ(c.values.size(), attr->cVars);
        info->ReleaseTypeAttr(attr);
        for (UINT i = 0; i < c.values.size(); ++i) {
            VARDESC* v = nullptr;
            info->GetVarDesc(i, &v);
            EXPECT_EQ(c.values[i].first, nameOf(info.get(), v->memid));
            EXPECT_EQ(c.values[i].second, V_I4(v->lpvarValue));
            info->ReleaseVarDesc(v);
        }
    }
}

}  // namespace
}  // namespace orvix::test
