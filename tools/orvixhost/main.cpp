// orvixhost [options] script.js...: runs JScript files in one engine with a WScript object,
// recording and answering the dialogs the scripts' objects open.
#include "dialog_hooks.h"
#include "dialog_session.h"
#include "output.h"
#include "script_host.h"

#include <windows.h>
#include <ole2.h>

#include <optional>
#include <string>
#include <vector>

namespace {

constexpr const wchar_t* kUsage =
    L"usage: orvixhost [options] script.js [script.js ...]\n"
    L"  --dialog-wait=MS     how long an unanswered dialog stays open (default 200)\n"
    L"  --no-dialog-hooks    leave message boxes and file dialogs alone\n"
    L"exit code: the WScript.Quit code, 1 after an uncaught script error, 2 for bad usage";

struct Options {
    std::vector<std::wstring> scripts;
    unsigned dialogWait = 200;
    bool dialogHooks = true;
};

std::optional<Options> parse(int argc, wchar_t** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--no-dialog-hooks") {
            options.dialogHooks = false;
        } else if (arg.starts_with(L"--dialog-wait=")) {
            wchar_t* end = nullptr;
            const unsigned long ms = std::wcstoul(arg.c_str() + 14, &end, 10);
            if (end == arg.c_str() + 14 || *end) return std::nullopt;
            options.dialogWait = static_cast<unsigned>(ms);
        } else if (arg.starts_with(L"-")) {
            return std::nullopt;
        } else {
            options.scripts.push_back(arg);
        }
    }
    if (options.scripts.empty()) return std::nullopt;
    return options;
}

// The host thread is a single-threaded apartment with OLE, as a browser's would be.
class OleApartment {
public:
    OleApartment() : hr_(OleInitialize(nullptr)) {}
    OleApartment(const OleApartment&) = delete;
    OleApartment& operator=(const OleApartment&) = delete;
    ~OleApartment() { if (SUCCEEDED(hr_)) OleUninitialize(); }
    HRESULT result() const { return hr_; }

private:
    HRESULT hr_;
};

} // namespace

int wmain(int argc, wchar_t** argv) {
    const auto options = parse(argc, argv);
    if (!options) {
        orvixhost::printLine(kUsage);
        return 2;
    }
    const OleApartment apartment;
    if (FAILED(apartment.result())) {
        orvixhost::printLine(L"error: OleInitialize failed");
        return 1;
    }
    std::optional<orvixhost::DialogHooks> hooks;
    if (options->dialogHooks) {
        orvixhost::DialogSession::setUnansweredWait(options->dialogWait);
        hooks.emplace();
        for (const auto& name : hooks->missing()) orvixhost::printLine(L"[host] cannot watch " + name);
    }
    orvixhost::ScriptHost host;
    return host.run(options->scripts);
}
