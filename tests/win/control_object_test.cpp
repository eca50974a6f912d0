// The control object as a host and a script reach it: dispatch and result types,
// error objects, form properties, events, safety and the server's entry points.
#include <objsafe.h>
#include <olectl.h>

#include "com_test_support.h"
#include "control/win32/orvix_control.h"
#include "event_sink.h"

namespace orvix::test {
namespace {

ComPtr<IOrvix> newControl() {
    ComPtr<IOrvix> control;
    EXPECT_EQ(S_OK, com::OrvixControl::create(IID_IOrvix, reinterpret_cast<void**>(control.put())));
    return control;
}

com::OrvixControl& object(const ComPtr<IOrvix>& c) { return *static_cast<com::OrvixControl*>(c.get()); }

VARIANT i4(long v) {
    VARIANT r;
    VariantInit(&r);
    r.vt = VT_I4;
    r.lVal = v;
    return r;
}

struct Exception : EXCEPINFO {
    Exception() : EXCEPINFO{} {}
    ~Exception() {
        SysFreeString(bstrSource);
        SysFreeString(bstrDescription);
        SysFreeString(bstrHelpFile);
    }
};

TEST(Dispatch, ResultTypesOfThePageMembers) {
    ComPtr<IOrvix> c = newControl();
    {
        Variant r;
        ASSERT_EQ(S_OK, callByName(c.get(), L"getImageCount", {}, &r));
        EXPECT_EQ(VT_I4, r.vt);
        EXPECT_EQ(0, r.lVal);
    }
    {
        // An id at or past the count deletes nothing and still answers true.
        Variant r;
        ASSERT_EQ(S_OK, callByName(c.get(), L"deleteAt", {i4(0)}, &r));
        EXPECT_EQ(VT_BOOL, r.vt);
        EXPECT_EQ(VARIANT_TRUE, r.boolVal);
    }
    {
        Variant r;
        ASSERT_EQ(S_OK, callByName(c.get(), L"clearAll", {}, &r));
        EXPECT_EQ(VT_EMPTY, r.vt);
    }
}

TEST(Dispatch, FailureReachesTheScriptAsAnException) {
    ComPtr<IOrvix> c = newControl();
    struct Case {
        const wchar_t* member;
        std::vector<VARIANT> args;
        HRESULT scode;
        const char* description;
    };
    const Case cases[] = {
        {L"deleteAt", {i4(-1)}, E_UNEXPECTED, "List index out of bounds (-1)"},
        {L"hideEditPanels", {}, E_NOTIMPL, "hideEditPanels is not available yet"},
    };
    for (const Case& k : cases) {
        Variant r;
        Exception e;
        EXPECT_EQ(DISP_E_EXCEPTION, callByName(c.get(), k.member, k.args, &r, &e)) << narrow(k.member);
        EXPECT_EQ(k.scode, e.scode) << narrow(k.member);
        EXPECT_EQ("orvixcam.Orvix", narrow(e.bstrSource));
        EXPECT_EQ(k.description, narrow(e.bstrDescription));
    }
    // The control stays usable.
    Variant r;
    EXPECT_EQ(S_OK, callByName(c.get(), L"getImageCount", {}, &r));
}

TEST(Vtable, FailedDeleteLeavesFalseAndAnErrorObject) {
    ComPtr<IOrvix> c = newControl();
    VARIANT r;
    r.vt = VT_I4;  // must be overwritten
    EXPECT_EQ(static_cast<HRESULT>(0x8000FFFF), c->deleteAt(-1, &r));
    EXPECT_EQ(VT_BOOL, r.vt);
    EXPECT_EQ(VARIANT_FALSE, r.boolVal);
    ComPtr<IErrorInfo> error;
    ASSERT_EQ(S_OK, GetErrorInfo(0, error.put()));
    GUID guid{};
    error->GetGUID(&guid);
    EXPECT_TRUE(IsEqualGUID(guid, IID_IOrvix));
    BSTR source = nullptr;
    error->GetSource(&source);
    EXPECT_EQ("orvixcam.Orvix", narrow(source));
    SysFreeString(source);

}

// Without a running camera the live frame is empty text: a null BSTR, no error.
TEST(Vtable, CurrentFrameWithoutCameraIsEmptyText) {
    ComPtr<IOrvix> c = newControl();
    Variant frame;
    frame.vt = VT_I4;
    EXPECT_EQ(S_OK, c->getCurrentFrame(&frame));
    EXPECT_EQ(VT_BSTR, frame.vt);
    EXPECT_EQ(nullptr, frame.bstrVal);
}

TEST(Dispatch, CamCountPutIsAcceptedAndIgnored) {
    ComPtr<IOrvix> c = newControl();
    for (long v : {0L, 5L, -1L}) EXPECT_EQ(S_OK, c->put_camCount(v));
}

TEST(FormProperties, StoreAndReturnTheirValues) {
    ComPtr<IOrvix> c = newControl();
    struct Case {
        const wchar_t* name;
        VARTYPE vt;
        long value;
    };
    const Case cases[] = {
        {L"Visible", VT_BOOL, VARIANT_FALSE},   {L"AutoScroll", VT_BOOL, VARIANT_TRUE},
        {L"AutoSize", VT_BOOL, VARIANT_TRUE},   {L"AxBorderStyle", VT_I4, 2},
        {L"Color", VT_I4, 0x00FFA0A0},          {L"KeyPreview", VT_BOOL, VARIANT_TRUE},
        {L"PixelsPerInch", VT_I4, 120},         {L"PrintScale", VT_I4, 2},
        {L"Scaled", VT_BOOL, VARIANT_FALSE},    {L"DropTarget", VT_BOOL, VARIANT_TRUE},
        {L"ScreenSnap", VT_BOOL, VARIANT_TRUE}, {L"SnapBuffer", VT_I4, 25},
        {L"DoubleBuffered", VT_BOOL, VARIANT_TRUE}, {L"Enabled", VT_BOOL, VARIANT_FALSE},
    };
    for (const Case& k : cases) {
        VARIANT v;
        VariantInit(&v);
        v.vt = k.vt;
        if (k.vt == VT_BOOL)
            v.boolVal = static_cast<VARIANT_BOOL>(k.value);
        else
            v.lVal = k.value;
        ASSERT_EQ(S_OK, callByName(c.get(), k.name, {v}, nullptr, nullptr, DISPATCH_PROPERTYPUT)) << narrow(k.name);
        Variant got;
        ASSERT_EQ(S_OK, callByName(c.get(), k.name, {}, &got, nullptr, DISPATCH_PROPERTYGET)) << narrow(k.name);
        ASSERT_EQ(S_OK, VariantChangeType(&got, &got, 0, VT_I4));
        long expected = k.vt == VT_BOOL ? static_cast<VARIANT_BOOL>(k.value) : k.value;
        EXPECT_EQ(expected, got.lVal) << narrow(k.name);
    }
}

TEST(FormProperties, CaptionRoundTripsThroughTheCodePage) {
    ComPtr<IOrvix> c = newControl();
    BSTR caption = nullptr;
    ASSERT_EQ(S_OK, c->get_Caption(&caption));
    EXPECT_EQ(std::wstring(L"OrvixCam\u63a7\u4ef6"), caption ? caption : L"");
    SysFreeString(caption);

    // Thai is outside code page 936 and arrives as its default character.
    struct Case {
        const wchar_t* in;
        const wchar_t* out;
    };
    const bool chinese = GetACP() == 936;
    const Case cases[] = {
        {L"\u6570\u91cf:5", chinese ? L"\u6570\u91cf:5" : L"??:5"},
        {L"a\u0e01b", L"a?b"},
        {L"", L""},
    };
    for (const Case& k : cases) {
        BSTR in = SysAllocString(k.in);
        ASSERT_EQ(S_OK, c->put_Caption(in));
        SysFreeString(in);
        BSTR out = nullptr;
        ASSERT_EQ(S_OK, c->get_Caption(&out));
        EXPECT_EQ(std::wstring(k.out), out ? out : L"");
        if (!*k.out) {
            EXPECT_EQ(nullptr, out) << "an empty text is a null BSTR";
        }
        SysFreeString(out);
    }
}

TEST(FormProperties, FontDefaultsAndReplacement) {
    ComPtr<IOrvix> c = newControl();
    ComPtr<IFontDisp> font;
    ASSERT_EQ(S_OK, c->get_Font(font.put()));
    ComPtr<IFont> f = font.as<IFont>(IID_IFont);
    ASSERT_TRUE(f);
    // The face may be substituted where "MS Sans Serif" is not installed; the size is ours.
    CY size{};
    f->get_Size(&size);
    EXPECT_EQ(82500, size.int64);
    BOOL bold = TRUE;
    f->get_Bold(&bold);
    EXPECT_FALSE(bold);

    FONTDESC desc{sizeof(FONTDESC), const_cast<LPOLESTR>(L"Arial"), {{120000, 0}}, FW_BOLD, ANSI_CHARSET, FALSE, FALSE, FALSE};
    ComPtr<IFontDisp> other;
    ASSERT_EQ(S_OK, OleCreateFontIndirect(&desc, IID_IFontDisp, reinterpret_cast<void**>(other.put())));
    ASSERT_EQ(S_OK, c->put_Font(other.get()));
    ComPtr<IFontDisp> now;
    ASSERT_EQ(S_OK, c->get_Font(now.put()));
    EXPECT_EQ(other.get(), now.get());
}

TEST(Events, OnCreateFiresOnceOnTheFirstConnection) {
    RecordingSink sink;
    {
        ComPtr<IOrvix> c = newControl();
        auto container = c.as<IConnectionPointContainer>(IID_IConnectionPointContainer);
        ComPtr<IConnectionPoint> point;
        ASSERT_EQ(S_OK, container->FindConnectionPoint(DIID_IOrvixEvents, point.put()));
        DWORD cookie = 0;
        ASSERT_EQ(S_OK, point->Advise(&sink, &cookie));
        EXPECT_EQ(std::vector<DISPID>{203}, sink.received);

        RecordingSink second;
        DWORD other = 0;
        EXPECT_EQ(CONNECT_E_ADVISELIMIT, point->Advise(&second, &other)) << "one sink at a time";

        ASSERT_EQ(S_OK, point->Unadvise(cookie));
        ASSERT_EQ(S_OK, point->Advise(&sink, &cookie));
        EXPECT_EQ(std::vector<DISPID>{203}, sink.received) << "reconnecting does not announce again";
        sink.received.clear();
    }
    // Releasing the control fires OnDestroy exactly once and lets the sink go.
    EXPECT_EQ(std::vector<DISPID>{205}, sink.received);
    EXPECT_EQ(1, sink.refs);
}

TEST(Events, AFailingHandlerDoesNotAffectTheControl) {
    for (HRESULT answer : {E_FAIL, DISP_E_EXCEPTION}) {
        RecordingSink sink;
        sink.answer = answer;
        ComPtr<IOrvix> c = newControl();
        auto container = c.as<IConnectionPointContainer>(IID_IConnectionPointContainer);
        ComPtr<IConnectionPoint> point;
        container->FindConnectionPoint(DIID_IOrvixEvents, point.put());
        DWORD cookie = 0;
        ASSERT_EQ(S_OK, point->Advise(&sink, &cookie));
        object(c).fireEvent(202);
        Variant r;
        EXPECT_EQ(S_OK, callByName(c.get(), L"getImageCount", {}, &r));
        EXPECT_EQ((std::vector<DISPID>{203, 202}), sink.received);
        point->Unadvise(cookie);
    }
}

TEST(Events, OnKeyPressLetsTheSinkReplaceOrSuppressTheKey) {
    struct Case {
        char in;
        std::function<void(SHORT&)> handler;
        char out;
        SHORT seen;
    };
    SHORT seen = -1;
    const Case cases[] = {
        {'a', [&](SHORT& k) { seen = k; k = 0; }, '\0', 'a'},
        {'a', [&](SHORT& k) { seen = k; k = 'b'; }, 'b', 'a'},
        // Zero-extended: a code-page lead byte arrives as 0..255, not negative.
        {'\xd5', [&](SHORT& k) { seen = k; }, '\xd5', 0xd5},
        {'x', [&](SHORT& k) { seen = k; k = 0x178; }, 'x', 'x'},  // only the low 8 bits count
    };
    for (const Case& k : cases) {
        RecordingSink sink;
        sink.onKey = k.handler;
        ComPtr<IOrvix> c = newControl();
        auto container = c.as<IConnectionPointContainer>(IID_IConnectionPointContainer);
        ComPtr<IConnectionPoint> point;
        container->FindConnectionPoint(DIID_IOrvixEvents, point.put());
        DWORD cookie = 0;
        point->Advise(&sink, &cookie);
        seen = -1;
        EXPECT_EQ(k.out, object(c).fireKeyPress(k.in));
        EXPECT_EQ(k.seen, seen);
        point->Unadvise(cookie);
    }
    // Without a sink the key goes on unchanged.
    ComPtr<IOrvix> c = newControl();
    EXPECT_EQ('q', object(c).fireKeyPress('q'));
}

TEST(ConnectionPoints, EventsAndPropertyNotifications) {
    ComPtr<IOrvix> c = newControl();
    auto container = c.as<IConnectionPointContainer>(IID_IConnectionPointContainer);
    ComPtr<IEnumConnectionPoints> points;
    ASSERT_EQ(S_OK, container->EnumConnectionPoints(points.put()));
    std::vector<IID> iids;
    IConnectionPoint* p = nullptr;
    while (points->Next(1, &p, nullptr) == S_OK) {
        IID iid{};
        p->GetConnectionInterface(&iid);
        iids.push_back(iid);
        p->Release();
    }
    ASSERT_EQ(2u, iids.size());
    EXPECT_TRUE(IsEqualIID(iids[0], DIID_IOrvixEvents));
    EXPECT_TRUE(IsEqualIID(iids[1], IID_IPropertyNotifySink));
    ComPtr<IConnectionPoint> none;
    EXPECT_EQ(CONNECT_E_NOCONNECTION, container->FindConnectionPoint(IID_IOleObject, none.put()));
}

TEST(Safety, OptionsAreRecordedPerControl) {
    ComPtr<IOrvix> c = newControl();
    auto safety = c.as<IObjectSafety>(IID_IObjectSafety);
    ASSERT_TRUE(safety);
    DWORD supported = 9, enabled = 9;
    for (REFIID iid : {IID_IOrvix, IID_IDispatch}) {
        ASSERT_EQ(S_OK, safety->GetInterfaceSafetyOptions(iid, &supported, &enabled));
        EXPECT_EQ(3u, supported);
        EXPECT_EQ(0u, enabled);
    }
    ASSERT_EQ(S_OK, safety->SetInterfaceSafetyOptions(IID_IDispatch, 3, 1));
    safety->GetInterfaceSafetyOptions(IID_IDispatch, &supported, &enabled);
    EXPECT_EQ(1u, enabled);

    EXPECT_EQ(E_NOINTERFACE, safety->GetInterfaceSafetyOptions(IID_IOleObject, &supported, &enabled));
    EXPECT_EQ(0u, supported);
    EXPECT_EQ(0u, enabled);
    EXPECT_EQ(E_NOINTERFACE, safety->SetInterfaceSafetyOptions(IID_IOleObject, 3, 3));
    safety->GetInterfaceSafetyOptions(IID_IDispatch, &supported, &enabled);
    EXPECT_EQ(1u, enabled) << "a refused call leaves the flags";
    EXPECT_EQ(E_POINTER, safety->GetInterfaceSafetyOptions(IID_IDispatch, nullptr, &enabled));
}

TEST(ErrorInfoSupport, OnlyInterfacesOfTheComObjectItself) {
    ComPtr<IOrvix> c = newControl();
    auto support = c.as<ISupportErrorInfo>(IID_ISupportErrorInfo);
    ASSERT_TRUE(support);
    EXPECT_EQ(S_FALSE, support->InterfaceSupportsErrorInfo(IID_IOrvix));
    EXPECT_EQ(S_OK, support->InterfaceSupportsErrorInfo(IID_IConnectionPointContainer));
    EXPECT_EQ(S_FALSE, support->InterfaceSupportsErrorInfo(IID_IOleObject));
}

TEST(ClassInfo, NamesTheCoclassAndItsEvents) {
    ComPtr<IOrvix> c = newControl();
    auto info = c.as<IProvideClassInfo2>(IID_IProvideClassInfo2);
    ASSERT_TRUE(info);
    GUID guid{};
    ASSERT_EQ(S_OK, info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &guid));
    EXPECT_TRUE(IsEqualGUID(guid, DIID_IOrvixEvents));
    ComPtr<ITypeInfo> coclass;
    ASSERT_EQ(S_OK, info->GetClassInfo(coclass.put()));
    TYPEATTR* attr = nullptr;
    coclass->GetTypeAttr(&attr);
    EXPECT_TRUE(IsEqualGUID(attr->guid, CLSID_Orvix));
    coclass->ReleaseTypeAttr(attr);
}

TEST(Server, ClassObjectAndUnloading) {
    OcxModule ocx;
    ComPtr<IClassFactory> factory;
    void* out = &factory;
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, ocx.getClassObject(IID_IOrvix, IID_IClassFactory, &out));
    EXPECT_EQ(nullptr, out);
    ASSERT_EQ(S_OK, ocx.getClassObject(CLSID_Orvix, IID_IClassFactory, reinterpret_cast<void**>(factory.put())));
    EXPECT_EQ(S_OK, ocx.canUnloadNow());

    ComPtr<IUnknown> aggregated;
    EXPECT_EQ(CLASS_E_NOAGGREGATION,
              factory->CreateInstance(factory.get(), IID_IUnknown, reinterpret_cast<void**>(aggregated.put())));

    {
        ComPtr<IOrvix> first = ocx.createControl();
        ComPtr<IOrvix> second = ocx.createControl();
        ASSERT_TRUE(first && second);
        EXPECT_NE(first.get(), second.get()) << "every CreateInstance makes a new control";
        EXPECT_EQ(S_FALSE, ocx.canUnloadNow());
        first.reset();
        EXPECT_EQ(S_FALSE, ocx.canUnloadNow());
    }
    EXPECT_EQ(S_OK, ocx.canUnloadNow());
    factory->LockServer(TRUE);
    EXPECT_EQ(S_FALSE, ocx.canUnloadNow());
    factory->LockServer(FALSE);
    EXPECT_EQ(S_OK, ocx.canUnloadNow());
}

}  // namespace
}  // namespace orvix::test
