#include "capture/win32/directshow_device.h"

#include <uuids.h>

#include <span>

#include "capture/device_selection.h"
#include "capture/sample_copy.h"
#include "capture/win32/media_type.h"
#include "capture/win32/qedit_ids.h"
#include "capture/win32/stream_formats.h"
#include "errors.h"

namespace orvix::dshow {
namespace {

using com::ComPtr;

template <class T>
ComPtr<T> create(REFCLSID clsid, REFIID iid) {
    ComPtr<T> object;
    if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, reinterpret_cast<void**>(object.put())))) {
        object.reset();
    }
    return object;
}

template <class T>
ComPtr<T> createRequired(REFCLSID clsid, REFIID iid, const char* what) {
    ComPtr<T> object = create<T>(clsid, iid);
    if (!object) throw Error(std::string("Cannot create the ") + what);
    return object;
}

GUID pinCategory(IPin* pin) {
    GUID category = GUID_NULL;
    const auto properties = ComPtr<IPin>(pin).as<IKsPropertySet>(IID_IKsPropertySet);
    DWORD returned = 0;
    if (properties) {
        properties->Get(AMPROPSETID_Pin, AMPROPERTY_PIN_CATEGORY, nullptr, 0, &category, sizeof category, &returned);
    }
    return category;
}

// The capture output of a source: its output pin in the capture category,
// else its first output pin.
ComPtr<IPin> captureOutput(IBaseFilter* filter) {
    ComPtr<IEnumPins> pins;
    if (!filter || FAILED(filter->EnumPins(pins.put())) || !pins) return {};
    ComPtr<IPin> first;
    for (;;) {
        ComPtr<IPin> pin;
        if (pins->Next(1, pin.put(), nullptr) != S_OK || !pin) break;
        PIN_DIRECTION direction;
        if (FAILED(pin->QueryDirection(&direction)) || direction != PINDIR_OUTPUT) continue;
        if (IsEqualGUID(pinCategory(pin.get()), PIN_CATEGORY_CAPTURE)) return pin;
        if (!first) first = pin;
    }
    return first;
}

}  // namespace

DirectShowDevice::DirectShowDevice()
    : ole_(OleInitialize(nullptr)), window_([this] { deliverNewFrame(); }) {}

DirectShowDevice::~DirectShowDevice() {
    disconnect();
    selected_.reset();
    if (SUCCEEDED(ole_)) OleUninitialize();
}

std::vector<std::string> DirectShowDevice::deviceNames() {
    if (names_.empty()) {
        for (VideoDevice& d : enumerateVideoDevices()) names_.push_back(std::move(d.name));
    }
    return names_;
}

void DirectShowDevice::selectDevice(int index, int instance) {
    if (index < 0) {
        selected_.reset();
        return;
    }
    if (index >= static_cast<int>(names_.size())) return;
    selected_.reset();
    std::vector<VideoDevice> devices = enumerateVideoDevices();
    std::vector<std::string> now;
    for (const VideoDevice& d : devices) now.push_back(d.name);
    if (auto at = deviceForInstance(now, names_[static_cast<std::size_t>(index)], instance)) {
        selected_ = std::move(devices[*at]);
    }
}

void DirectShowDevice::connect() {
    setNotificationsEnabled(true);
    disconnect();
    try {
        buildGraph();
    } catch (...) {
        releaseGraph();
        throw;
    }
}

void DirectShowDevice::buildGraph() {
    graph_ = createRequired<IGraphBuilder>(CLSID_FilterGraph, IID_IGraphBuilder, "filter graph");
    builder_ =
        createRequired<ICaptureGraphBuilder2>(CLSID_CaptureGraphBuilder2, IID_ICaptureGraphBuilder2, "capture graph builder");
    builder_->SetFiltergraph(graph_.get());

    if (selected_) {
        IBaseFilter* raw = nullptr;
        if (FAILED(selected_->moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, reinterpret_cast<void**>(&raw))) ||
            !raw) {
            throw Error("Cannot open the video capture device");
        }
        source_ = ComPtr<IBaseFilter>::adopt(raw);
        graph_->AddFilter(source_.get(), L"VideoCapture");
    }

    if (grabberEnabled_) {
        grabberFilter_ = createRequired<IBaseFilter>(CLSID_SampleGrabber, IID_IBaseFilter, "sample grabber");
        grabber_ = grabberFilter_.as<ISampleGrabber>(IID_ISampleGrabber);
        if (!grabber_) throw Error("Cannot create the sample grabber");
        AM_MEDIA_TYPE rgb{};
        rgb.majortype = MEDIATYPE_Video;
        rgb.subtype = MEDIASUBTYPE_RGB24;
        grabber_->SetMediaType(&rgb);
        grabber_->SetBufferSamples(TRUE);
        grabber_->SetOneShot(FALSE);
        callback_ = GrabberCallback::create(window_.handle(), this);
        grabber_->SetCallback(callback_.get(), 0);
        graph_->AddFilter(grabberFilter_.get(), L"SampleGrabber");
        intermediate_ = grabberFilter_;
    }
    // The converters only help the automatic connection reach 24-bit RGB. A system
    // without them (Wine has no colour converter) still connects a camera that
    // offers RGB24 itself, so their absence is not an error.
    if (const auto converter = create<IBaseFilter>(CLSID_Colour, IID_IBaseFilter)) {
        graph_->AddFilter(converter.get(), L"ColorConverter");
        if (!grabberEnabled_) intermediate_ = converter;
    }
    if (const auto decompressor = create<IBaseFilter>(CLSID_AVIDec, IID_IBaseFilter)) {
        graph_->AddFilter(decompressor.get(), L"AVI Decompressor");
    }
    renderer_ = createRequired<IBaseFilter>(CLSID_NullRenderer, IID_IBaseFilter, "null renderer");
    graph_->AddFilter(renderer_.get(), L"NullRenderer");

    if (!source_) {
        formats_.clear();
        return;
    }
    const ComPtr<IPin> output = captureOutput(source_.get());
    streamConfig_ = output.as<IAMStreamConfig>(IID_IAMStreamConfig);
    formats_ = readFormatTable(streamConfig_.get());
    renderCapture();
}

void DirectShowDevice::renderCapture() {
    builder_->RenderStream(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Video, source_.get(), intermediate_.get(), renderer_.get());
}

// Takes the capture chain apart: every pin disconnected, and the filters the
// builder inserted on its own (a smart tee, for one) removed.
void DirectShowDevice::unrenderCapture() {
    std::vector<ComPtr<IBaseFilter>> filters;
    ComPtr<IEnumFilters> all;
    if (FAILED(graph_->EnumFilters(all.put())) || !all) return;
    for (;;) {
        ComPtr<IBaseFilter> filter;
        if (all->Next(1, filter.put(), nullptr) != S_OK || !filter) break;
        filters.push_back(filter);
    }
    const auto ours = [&](const ComPtr<IBaseFilter>& f) {
        if (f.get() == source_.get() || f.get() == intermediate_.get() || f.get() == renderer_.get()) return true;
        FILTER_INFO info{};
        if (FAILED(f->QueryFilterInfo(&info))) return false;
        const auto graph = ComPtr<IFilterGraph>::adopt(info.pGraph);  // the info holds a reference
        const std::wstring name = info.achName;
        return name == L"ColorConverter" || name == L"AVI Decompressor" || name == L"SampleGrabber";
    };
    for (const ComPtr<IBaseFilter>& f : filters) {
        ComPtr<IEnumPins> pins;
        if (FAILED(f->EnumPins(pins.put())) || !pins) continue;
        for (;;) {
            ComPtr<IPin> pin;
            if (pins->Next(1, pin.put(), nullptr) != S_OK || !pin) break;
            graph_->Disconnect(pin.get());
        }
    }
    for (const ComPtr<IBaseFilter>& f : filters) {
        if (!ours(f)) graph_->RemoveFilter(f.get());
    }
}

TIEVideoFormat DirectShowDevice::formatAt(int i) const {
    if (i < 0 || i >= formatCount()) throw ListIndexError(i);
    return formats_[static_cast<std::size_t>(i)];
}

void DirectShowDevice::applyFormat(int width, int height, const std::string& subtypeName) {
    if (!graph_ || !streamConfig_) return;
    // A connected capture pin cannot carry a new size through the filters behind
    // it (the builder's smart tee keeps the old one), so a stopped graph is taken
    // apart, the format set on the free pin and the chain rendered again.
    OAFilterState state = State_Stopped;
    if (const auto control = graph_.as<IMediaControl>(IID_IMediaControl)) control->GetState(100, &state);
    const bool rebuild = state == State_Stopped;
    if (rebuild) unrenderCapture();
    dshow::applyFormat(streamConfig_.get(), width, height, subtypeName);
    if (rebuild) renderCapture();
}

void DirectShowDevice::run() {
    if (const auto control = graph_.as<IMediaControl>(IID_IMediaControl)) control->Run();
}

void DirectShowDevice::stopWhenReady() {
    if (const auto control = graph_.as<IMediaControl>(IID_IMediaControl)) control->StopWhenReady();
}

void DirectShowDevice::disconnect() {
    if (const auto control = graph_.as<IMediaControl>(IID_IMediaControl)) {
        OAFilterState state = State_Stopped;
        control->GetState(100, &state);
        if (state != State_Stopped) control->Stop();
    }
    releaseGraph();
}

void DirectShowDevice::releaseGraph() {
    // The graph is stopped here: no sample callback is running any more.
    if (callback_) callback_->detach();
    if (grabber_) grabber_->SetCallback(nullptr, 0);
    callback_.reset();
    streamConfig_.reset();
    grabber_.reset();
    grabberFilter_.reset();
    intermediate_.reset();
    renderer_.reset();
    source_.reset();
    builder_.reset();
    graph_.reset();
}

void DirectShowDevice::grabFrame(Image& bitmap) {
    if (!graph_ || !grabber_) return;
    MediaTypeValue mt;
    if (FAILED(grabber_->GetConnectedMediaType(mt.get()))) return;
    const VIDEOINFOHEADER* vih = videoInfo(*mt);
    if (!vih) return;
    const int width = vih->bmiHeader.biWidth;
    const int height = vih->bmiHeader.biHeight;
    if (width <= 0 || height <= 0) return;
    long size = 0;
    if (FAILED(grabber_->GetCurrentBuffer(&size, nullptr)) || size <= 0) {
        copyBottomUpBgr({}, width, height, bitmap);  // resizes only
        return;
    }
    sample_.resize(static_cast<std::size_t>(size));
    if (FAILED(grabber_->GetCurrentBuffer(&size, reinterpret_cast<long*>(sample_.data())))) return;
    const std::size_t got = std::min(sample_.size(), static_cast<std::size_t>(size > 0 ? size : 0));
    copyBottomUpBgr(std::span<const std::uint8_t>(sample_.data(), got), width, height, bitmap);
}

}  // namespace orvix::dshow

namespace orvix {

std::unique_ptr<CaptureDevice> makePlatformCaptureDevice() { return std::make_unique<dshow::DirectShowDevice>(); }

}  // namespace orvix
