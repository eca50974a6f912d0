#include "event_sink.h"

#include "com_types.h"

#include <vector>

namespace orvixhost {

namespace {

// Value copies of an event's arguments: the script engine cannot take every by-reference type.
class ArgumentCopies {
public:
    explicit ArgumentCopies(const DISPPARAMS* params) : values_(params ? params->cArgs : 0) {
        for (size_t i = 0; i < values_.size(); ++i) {
            VariantInit(&values_[i]);
            if (FAILED(VariantCopyInd(&values_[i], &params->rgvarg[i]))) values_[i].vt = VT_EMPTY;
        }
    }
    ArgumentCopies(const ArgumentCopies&) = delete;
    ArgumentCopies& operator=(const ArgumentCopies&) = delete;
    ~ArgumentCopies() {
        for (auto& v : values_) VariantClear(&v);
    }
    DISPPARAMS params() {
        return DISPPARAMS{values_.data(), nullptr, static_cast<UINT>(values_.size()), 0};
    }

private:
    std::vector<VARIANT> values_;
};

} // namespace

STDMETHODIMP EventSink::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
}

STDMETHODIMP EventSink::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
    if (!info) return E_POINTER;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    *info = ComPtr<ITypeInfo>(source_.info).detach();
    return S_OK;
}

STDMETHODIMP EventSink::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    return source_.info->GetIDsOfNames(names, count, ids);
}

STDMETHODIMP EventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                               EXCEPINFO*, UINT*) {
    if (result) VariantInit(result);
    const std::wstring& name = eventName(id);
    if (name.empty()) return S_OK;
    ArgumentCopies copies(params);
    DISPPARAMS args = copies.params();
    target_.raiseEvent(prefix_ + name, args);
    // Whatever the handler did, the source has delivered its event.
    return S_OK;
}

void* EventSink::findInterface(REFIID iid) {
    return iid == source_.iid ? static_cast<IDispatch*>(this) : nullptr;
}

const std::wstring& EventSink::eventName(DISPID id) {
    auto found = names_.find(id);
    if (found != names_.end()) return found->second;
    Bstr name;
    UINT n = 0;
    std::wstring text;
    if (SUCCEEDED(source_.info->GetNames(id, name.put(), 1, &n)) && n == 1) text = name.str();
    return names_.emplace(id, std::move(text)).first->second;
}

} // namespace orvixhost
