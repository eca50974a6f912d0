#pragma once
// Runs script files in one JScript engine with the WScript object and event connections.
#include "com_ptr.h"
#include "event_connections.h"
#include "host_services.h"
#include "script_site.h"
#include "wscript_object.h"

#include <activscp.h>

#include <optional>
#include <string>
#include <vector>

namespace orvixhost {

class ScriptHost final : public HostServices, public SiteOwner, public EventTarget {
public:
    ScriptHost() = default;
    ScriptHost(const ScriptHost&) = delete;
    ScriptHost& operator=(const ScriptHost&) = delete;
    ~ScriptHost() { stop(); }

    // Runs the files in order; returns the process exit code.
    int run(const std::vector<std::wstring>& paths);

    bool quitting() const override { return quitCode_.has_value(); }
    void requestQuit(int code) override;
    HRESULT connectObject(IUnknown* object, const std::wstring& prefix, std::wstring& why) override;
    HRESULT disconnectObject(IUnknown* object) override;
    std::wstring currentScriptPath() const override;

    IUnknown* namedItem(const wchar_t* name) override;
    void scriptError(IActiveScriptError& error) override;

    void raiseEvent(const std::wstring& function, DISPPARAMS& args) override;

private:
    HRESULT start(std::wstring& why);
    bool runFile(size_t index);
    void stop();
    std::wstring fileName(DWORD_PTR index) const;

    ComPtr<IActiveScript> engine_;
    ComPtr<IActiveScriptParse> parser_;
    ComPtr<ScriptSite> site_;
    ComPtr<WScriptObject> wscript_;
    EventConnections connections_{*this};

    std::vector<std::wstring> paths_;
    size_t current_ = 0;
    std::optional<int> quitCode_;
    bool failed_ = false;
    bool errorReported_ = false;
    std::vector<std::wstring> handlers_;  // event handlers running, innermost last
    bool handlerErrorReported_ = false;
};

} // namespace orvixhost
