#include "event_connections.h"

#include "source_interface.h"

namespace orvixhost {

namespace {

ComPtr<IUnknown> identityOf(IUnknown& object) {
    return ComPtr<IUnknown>::share(&object).as<IUnknown>();
}

} // namespace

HRESULT EventConnections::connect(IUnknown& object, const std::wstring& prefix, std::wstring& why) {
    SourceInterface source;
    HRESULT hr = findDefaultSource(object, source, why);
    if (FAILED(hr)) return hr;
    auto container = ComPtr<IUnknown>::share(&object).as<IConnectionPointContainer>();
    if (!container) {
        why = L"the object has no connection points";
        return E_NOINTERFACE;
    }
    Link link;
    hr = container->FindConnectionPoint(source.iid, link.point.put());
    if (FAILED(hr) || !link.point) {
        why = L"the object has no connection point for its default source interface";
        return FAILED(hr) ? hr : E_FAIL;
    }
    auto sink = makeObject<EventSink>(std::move(source), prefix, target_);
    hr = link.point->Advise(sink.get(), &link.cookie);
    if (FAILED(hr)) {
        why = L"Advise failed";
        return hr;
    }
    link.identity = identityOf(object);
    links_.push_back(std::move(link));
    return S_OK;
}

HRESULT EventConnections::disconnect(IUnknown& object) {
    const ComPtr<IUnknown> identity = identityOf(object);
    HRESULT hr = S_FALSE;
    std::erase_if(links_, [&](Link& link) {
        if (link.identity.get() != identity.get()) return false;
        link.point->Unadvise(link.cookie);
        hr = S_OK;
        return true;
    });
    return hr;
}

void EventConnections::disconnectAll() {
    // Take the list first: an Unadvise may run script that connects again.
    std::vector<Link> links;
    links.swap(links_);
    for (auto& link : links) link.point->Unadvise(link.cookie);
}

} // namespace orvixhost
