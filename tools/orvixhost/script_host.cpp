#include "script_host.h"

#include "com_types.h"
#include "dialog_answers.h"
#include "guids.h"
#include "output.h"
#include "script_error.h"
#include "script_file.h"
#include "text.h"

namespace orvixhost {

namespace {

std::wstring fullPath(const std::wstring& path) {
    const DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (n == 0) return path;
    std::wstring out(n, L'\0');
    const DWORD written = GetFullPathNameW(path.c_str(), n, out.data(), nullptr);
    out.resize(written);
    return out;
}

} // namespace

int ScriptHost::run(const std::vector<std::wstring>& paths) {
    for (const auto& path : paths) paths_.push_back(fullPath(path));
    std::wstring why;
    const HRESULT hr = start(why);
    if (FAILED(hr)) {
        printLine(L"error " + hex32(static_cast<unsigned long>(hr)) + L": cannot start JScript: " + why);
        stop();
        return 1;
    }
    for (size_t i = 0; i < paths_.size() && !quitting(); ++i) {
        if (!runFile(i)) {
            failed_ = true;
            break;
        }
    }
    stop();
    for (const auto& left : DialogAnswers::instance().leftovers()) printLine(L"[unused-answer] " + left);
    if (quitCode_) return *quitCode_;
    return failed_ ? 1 : 0;
}

HRESULT ScriptHost::start(std::wstring& why) {
    HRESULT hr = S_OK;
    const auto step = [&](HRESULT result, const wchar_t* what) {
        if (SUCCEEDED(hr) && FAILED(result)) {
            hr = result;
            why = what;
        }
        return SUCCEEDED(hr);
    };
    if (!step(CoCreateInstance(ids::jscript, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IActiveScript),
                               engine_.putVoid()),
              L"no JScript engine"))
        return hr;
    parser_ = engine_.as<IActiveScriptParse>(ids::activeScriptParse);
    if (!step(parser_ ? S_OK : E_NOINTERFACE, L"the engine cannot parse text")) return hr;
    site_ = makeObject<ScriptSite>(*this);
    wscript_ = makeObject<WScriptObject>(*this);
    step(engine_->SetScriptSite(site_.get()), L"SetScriptSite failed") &&
        step(parser_->InitNew(), L"InitNew failed") &&
        step(engine_->AddNamedItem(L"WScript", SCRIPTITEM_ISVISIBLE), L"AddNamedItem failed") &&
        // Connected: text runs as soon as it is parsed.
        step(engine_->SetScriptState(SCRIPTSTATE_CONNECTED), L"SetScriptState failed");
    return hr;
}

bool ScriptHost::runFile(size_t index) {
    current_ = index;
    std::wstring why;
    const auto text = readScriptFile(paths_[index], why);
    if (!text) {
        printLine(L"error: cannot read " + paths_[index] + L": " + why);
        return false;
    }
    errorReported_ = false;
    ExcepInfo info;
    const HRESULT hr = parser_->ParseScriptText(text->c_str(), nullptr, nullptr, nullptr, index, 0,
                                                SCRIPTTEXT_ISVISIBLE, nullptr, &info);
    if (quitting()) return true;
    if (FAILED(hr)) {
        if (!errorReported_) printLine(formatScriptError(fromExcepInfo(info, hr), L"in " + fileName(index)));
        return false;
    }
    return true;
}

void ScriptHost::stop() {
    // Sinks go first: an event must not reach an engine that is closing.
    connections_.disconnectAll();
    if (engine_) {
        engine_->SetScriptState(SCRIPTSTATE_DISCONNECTED);
        engine_->Close();
    }
    parser_.reset();
    engine_.reset();
    site_.reset();
    wscript_.reset();
}

std::wstring ScriptHost::fileName(DWORD_PTR index) const {
    if (index >= paths_.size()) return {};
    const std::wstring& path = paths_[index];
    return path.substr(path.find_last_of(L"\\/") + 1);
}

void ScriptHost::requestQuit(int code) {
    if (!quitCode_) quitCode_ = code;
}

HRESULT ScriptHost::connectObject(IUnknown* object, const std::wstring& prefix, std::wstring& why) {
    return connections_.connect(*object, prefix, why);
}

HRESULT ScriptHost::disconnectObject(IUnknown* object) {
    return connections_.disconnect(*object);
}

std::wstring ScriptHost::currentScriptPath() const {
    return current_ < paths_.size() ? paths_[current_] : std::wstring();
}

IUnknown* ScriptHost::namedItem(const wchar_t* name) {
    if (wscript_ && CompareStringOrdinal(name, -1, L"WScript", -1, TRUE) == CSTR_EQUAL)
        return static_cast<IDispatch*>(wscript_.get());
    return nullptr;
}

void ScriptHost::scriptError(IActiveScriptError& error) {
    const ScriptError e = readScriptError(error);
    // The unwinding after Quit is not an error.
    if (quitting()) {
        errorReported_ = true;
        return;
    }
    if (!handlers_.empty()) {
        printLine(formatScriptError(e, L"in handler " + handlers_.back()));
        handlerErrorReported_ = true;
        return;
    }
    printLine(formatScriptError(e, e.hasCookie ? L"in " + fileName(e.cookie) : std::wstring()));
    errorReported_ = true;
    failed_ = true;
}

void ScriptHost::raiseEvent(const std::wstring& function, DISPPARAMS& args) {
    if (!engine_ || quitting()) return;
    ComPtr<IDispatch> script;
    if (FAILED(engine_->GetScriptDispatch(nullptr, script.put())) || !script) return;
    DISPID id = DISPID_UNKNOWN;
    auto* name = const_cast<LPOLESTR>(function.c_str());
    // No handler for this event: the script does not want it.
    if (FAILED(script->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id))) return;

    handlers_.push_back(function);
    handlerErrorReported_ = false;
    ExcepInfo info;
    Variant result;
    UINT argError = 0;
    const HRESULT hr = script->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &args, result.get(),
                                      &info, &argError);
    handlers_.pop_back();
    if (FAILED(hr) && !quitting() && !handlerErrorReported_)
        printLine(formatScriptError(fromExcepInfo(info, hr), L"in handler " + function));
    handlerErrorReported_ = false;
}

} // namespace orvixhost
