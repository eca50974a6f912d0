#pragma once
// Event sinks advised on script objects; they live until the host ends or the script disconnects.
#include "com_ptr.h"
#include "event_sink.h"

#include <ocidl.h>

#include <string>
#include <vector>

namespace orvixhost {

class EventConnections {
public:
    explicit EventConnections(EventTarget& target) : target_(target) {}
    EventConnections(const EventConnections&) = delete;
    EventConnections& operator=(const EventConnections&) = delete;
    ~EventConnections() { disconnectAll(); }

    HRESULT connect(IUnknown& object, const std::wstring& prefix, std::wstring& why);
    // S_FALSE when the object had no connection.
    HRESULT disconnect(IUnknown& object);
    void disconnectAll();

private:
    struct Link {
        ComPtr<IUnknown> identity;
        ComPtr<IConnectionPoint> point;
        DWORD cookie = 0;
    };

    EventTarget& target_;
    std::vector<Link> links_;
};

} // namespace orvixhost
