#include "capture/win32/frame_notifier.h"

#include <memory>

namespace orvix::dshow {
namespace {

constexpr wchar_t kWindowClass[] = L"OrvixNewFrameWindow";

HINSTANCE thisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&thisModule), &module);
    return module;
}

}  // namespace

NewFrameWindow::NewFrameWindow(std::function<void()> onNewFrame) : onNewFrame_(std::move(onNewFrame)) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &NewFrameWindow::windowProc;
    wc.hInstance = thisModule();
    wc.lpszClassName = kWindowClass;
    RegisterClassExW(&wc);  // already registered by an earlier device: fine
    window_ = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, this);
}

NewFrameWindow::~NewFrameWindow() {
    if (window_) DestroyWindow(window_);
    // Fails while another device's window uses the class; the last one removes it,
    // so an unloaded module leaves no class pointing into it.
    UnregisterClassW(kWindowClass, thisModule());
}

LRESULT CALLBACK NewFrameWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    } else if (message == kNewFrameMessage) {
        auto* self = reinterpret_cast<NewFrameWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self && self->onNewFrame_) self->onNewFrame_();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

com::ComPtr<GrabberCallback> GrabberCallback::create(HWND target, const CaptureDevice* device) {
    // COM owns the object from here on; Release destroys it.
    return com::ComPtr<GrabberCallback>(std::make_unique<GrabberCallback>(target, device).release());
}

STDMETHODIMP GrabberCallback::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_ISampleGrabberCB)) {
        *out = static_cast<ISampleGrabberCB*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) GrabberCallback::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }

STDMETHODIMP_(ULONG) GrabberCallback::Release() {
    const LONG n = InterlockedDecrement(&refs_);
    if (n == 0) std::unique_ptr<GrabberCallback>{this};
    return static_cast<ULONG>(n);
}

STDMETHODIMP GrabberCallback::SampleCB(double, IMediaSample*) {
    const CaptureDevice* device = device_.load();
    if (device && device->notificationsEnabled()) {
        PostMessageW(target_, kNewFrameMessage, 0, reinterpret_cast<LPARAM>(device));
    }
    return S_OK;
}

STDMETHODIMP GrabberCallback::BufferCB(double, BYTE*, long) { return S_OK; }

}  // namespace orvix::dshow
