#include "source_interface.h"

#include <ocidl.h>
#include <olectl.h>

#include <memory>

namespace orvixhost {

namespace {

// TYPEATTR is owned by the type info that handed it out.
struct TypeAttr {
    explicit TypeAttr(ITypeInfo& info) : info_(info) {
        if (FAILED(info.GetTypeAttr(&attr_))) attr_ = nullptr;
    }
    TypeAttr(const TypeAttr&) = delete;
    TypeAttr& operator=(const TypeAttr&) = delete;
    ~TypeAttr() { if (attr_) info_.ReleaseTypeAttr(attr_); }
    const TYPEATTR* operator->() const { return attr_; }
    explicit operator bool() const { return attr_ != nullptr; }

private:
    ITypeInfo& info_;
    TYPEATTR* attr_ = nullptr;
};

ComPtr<ITypeInfo> implemented(ITypeInfo& coclass, UINT index) {
    HREFTYPE ref = 0;
    ComPtr<ITypeInfo> out;
    if (SUCCEEDED(coclass.GetRefTypeOfImplType(index, &ref))) coclass.GetRefTypeInfo(ref, out.put());
    return out;
}

// A dual interface's dispatch half, which lists the same members.
ComPtr<ITypeInfo> dispatchHalf(ITypeInfo& info) {
    const TypeAttr attr(info);
    if (!attr || attr->typekind != TKIND_INTERFACE || !(attr->wTypeFlags & TYPEFLAG_FDUAL)) return {};
    return implemented(info, static_cast<UINT>(-1));
}

// The [default, source] interface of a coclass, as a dispinterface.
HRESULT sourceOfCoclass(ITypeInfo& coclass, SourceInterface& out, std::wstring& why) {
    const TypeAttr attr(coclass);
    if (!attr || attr->typekind != TKIND_COCLASS) {
        why = L"the object's class information is not a coclass";
        return E_UNEXPECTED;
    }
    for (UINT i = 0; i < attr->cImplTypes; ++i) {
        INT flags = 0;
        if (FAILED(coclass.GetImplTypeFlags(i, &flags))) continue;
        if ((flags & (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE)) != (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE))
            continue;
        ComPtr<ITypeInfo> source = implemented(coclass, i);
        if (!source) break;
        if (ComPtr<ITypeInfo> dispatch = dispatchHalf(*source)) source = dispatch;
        const TypeAttr finalAttr(*source);
        if (!finalAttr || finalAttr->typekind != TKIND_DISPATCH) {
            why = L"the default source interface is not a dispinterface";
            return E_NOTIMPL;
        }
        out.iid = finalAttr->guid;
        out.info = source;
        return S_OK;
    }
    why = L"the object's class has no default source interface";
    return CONNECT_E_NOCONNECTION;
}

// Without IProvideClassInfo: the coclass in the object's type library that implements its interface.
ComPtr<ITypeInfo> coclassFromTypeLib(IUnknown& object) {
    auto dispatch = ComPtr<IUnknown>::share(&object).as<IDispatch>();
    ComPtr<ITypeInfo> own;
    if (!dispatch || FAILED(dispatch->GetTypeInfo(0, LOCALE_USER_DEFAULT, own.put())) || !own) return {};
    const TypeAttr ownAttr(*own);
    ComPtr<ITypeLib> lib;
    UINT unused = 0;
    if (!ownAttr || FAILED(own->GetContainingTypeLib(lib.put(), &unused))) return {};
    for (UINT i = 0, n = lib->GetTypeInfoCount(); i < n; ++i) {
        ComPtr<ITypeInfo> candidate;
        if (FAILED(lib->GetTypeInfo(i, candidate.put()))) continue;
        const TypeAttr attr(*candidate);
        if (!attr || attr->typekind != TKIND_COCLASS) continue;
        for (UINT k = 0; k < attr->cImplTypes; ++k) {
            ComPtr<ITypeInfo> impl = implemented(*candidate, k);
            if (!impl) continue;
            const TypeAttr implAttr(*impl);
            if (implAttr && implAttr->guid == ownAttr->guid) return candidate;
        }
    }
    return {};
}

} // namespace

HRESULT findDefaultSource(IUnknown& object, SourceInterface& out, std::wstring& why) {
    ComPtr<ITypeInfo> coclass;
    if (auto provide = ComPtr<IUnknown>::share(&object).as<IProvideClassInfo>())
        provide->GetClassInfo(coclass.put());
    if (!coclass) coclass = coclassFromTypeLib(object);
    if (!coclass) {
        why = L"the object gives no class information";
        return E_NOINTERFACE;
    }
    return sourceOfCoclass(*coclass, out, why);
}

} // namespace orvixhost
