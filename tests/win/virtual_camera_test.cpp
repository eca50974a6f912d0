// The virtual camera filter on its own, connected straight to a sample grabber:
// its capture pin, its capabilities, and a size change on a connected pin,
// which must reconnect and renegotiate buffers so that frames keep flowing.
#include <windows.h>
#include <dshow.h>
#include <qedit.h>
#include <uuids.h>
#include <vfwmsgs.h>

#include <gtest/gtest.h>

#include <memory>

#include "capture/win32/media_type.h"
#include "capture/win32/qedit_ids.h"
#include "control/win32/com_ptr.h"
#include "virtual_camera_server.h"

namespace orvix::test {
namespace {

using com::ComPtr;
using dshow::MediaTypePtr;
using dshow::MediaTypeValue;

// The class of the first registered camera.
constexpr CLSID kCameraClass = {0x6c2f7e00, 0x1b4d, 0x4a9e, {0x8f, 0x35, 0x2d, 0x91, 0xc6, 0x0e, 0x7a, 0x54}};

template <class T>
ComPtr<T> create(REFCLSID clsid, REFIID iid) {
    ComPtr<T> object;
    EXPECT_EQ(S_OK, CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, reinterpret_cast<void**>(object.put())));
    return object;
}

ComPtr<IPin> firstPin(IBaseFilter* filter, PIN_DIRECTION wanted) {
    ComPtr<IEnumPins> pins;
    filter->EnumPins(pins.put());
    for (ComPtr<IPin> pin; pins && pins->Next(1, pin.put(), nullptr) == S_OK;) {
        PIN_DIRECTION direction;
        if (SUCCEEDED(pin->QueryDirection(&direction)) && direction == wanted) return pin;
    }
    return {};
}

SIZE connectedSize(IPin* pin) {
    MediaTypeValue mt;
    if (FAILED(pin->ConnectionMediaType(mt.get()))) return {0, 0};
    const VIDEOINFOHEADER* vih = dshow::videoInfo(*mt);
    return vih ? SIZE{vih->bmiHeader.biWidth, vih->bmiHeader.biHeight} : SIZE{0, 0};
}

class VirtualCameraTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server_.loaded());
        server_.unregisterServer();
        ASSERT_EQ(S_OK, server_.registerServer());
        camera_ = create<IBaseFilter>(kCameraClass, IID_IBaseFilter);
        ASSERT_TRUE(camera_);
        output_ = firstPin(camera_.get(), PINDIR_OUTPUT);
        ASSERT_TRUE(output_);
        config_ = output_.as<IAMStreamConfig>(IID_IAMStreamConfig);
        ASSERT_TRUE(config_);
    }
    void TearDown() override {
        if (graph_) graph_.as<IMediaControl>(IID_IMediaControl)->Stop();
        server_.unregisterServer();
    }

    // camera -> sample grabber (RGB24, buffering) -> null renderer, connected pin to pin.
    void buildGraph() {
        graph_ = create<IGraphBuilder>(CLSID_FilterGraph, IID_IGraphBuilder);
        const auto grabberFilter = create<IBaseFilter>(CLSID_SampleGrabber, IID_IBaseFilter);
        const auto renderer = create<IBaseFilter>(CLSID_NullRenderer, IID_IBaseFilter);
        ASSERT_TRUE(graph_ && grabberFilter && renderer);
        grabber_ = grabberFilter.as<ISampleGrabber>(IID_ISampleGrabber);
        AM_MEDIA_TYPE rgb{};
        rgb.majortype = MEDIATYPE_Video;
        rgb.subtype = MEDIASUBTYPE_RGB24;
        grabber_->SetMediaType(&rgb);
        grabber_->SetBufferSamples(TRUE);
        graph_->AddFilter(camera_.get(), L"VideoCapture");
        graph_->AddFilter(grabberFilter.get(), L"SampleGrabber");
        graph_->AddFilter(renderer.get(), L"NullRenderer");
        grabberIn_ = firstPin(grabberFilter.get(), PINDIR_INPUT);
        ASSERT_EQ(S_OK, graph_->ConnectDirect(output_.get(), grabberIn_.get(), nullptr));
        ASSERT_EQ(S_OK, graph_->ConnectDirect(firstPin(grabberFilter.get(), PINDIR_OUTPUT).get(),
                                              firstPin(renderer.get(), PINDIR_INPUT).get(), nullptr));
    }

    MediaTypePtr capability(int i) {
        AM_MEDIA_TYPE* mt = nullptr;
        VIDEO_STREAM_CONFIG_CAPS caps{};
        EXPECT_EQ(S_OK, config_->GetStreamCaps(i, &mt, reinterpret_cast<BYTE*>(&caps)));
        return MediaTypePtr{mt};
    }

    // Runs the graph until the grabber holds a sample of `bytes`.
    bool runUntilSampleOf(long bytes) {
        graph_.as<IMediaControl>(IID_IMediaControl)->Run();
        return pumpUntil([&] {
            long size = 0;
            return SUCCEEDED(grabber_->GetCurrentBuffer(&size, nullptr)) && size == bytes;
        }, 10000);
    }

    VirtualCameraServer server_;
    ComPtr<IBaseFilter> camera_;
    ComPtr<IPin> output_;
    ComPtr<IAMStreamConfig> config_;
    ComPtr<IGraphBuilder> graph_;
    ComPtr<ISampleGrabber> grabber_;
    ComPtr<IPin> grabberIn_;
};

TEST_F(VirtualCameraTest, OutputIsACapturePinWithFourRgbSizes) {
    const auto properties = output_.as<IKsPropertySet>(IID_IKsPropertySet);
    ASSERT_TRUE(properties);
    GUID category = GUID_NULL;
    DWORD returned = 0;
    EXPECT_EQ(S_OK, properties->Get(AMPROPSETID_Pin, AMPROPERTY_PIN_CATEGORY, nullptr, 0, &category, sizeof category,
                                    &returned));
    EXPECT_TRUE(IsEqualGUID(category, PIN_CATEGORY_CAPTURE));

    int count = 0, size = 0;
    ASSERT_EQ(S_OK, config_->GetNumberOfCapabilities(&count, &size));
    EXPECT_EQ(4, count);
    EXPECT_EQ(static_cast<int>(sizeof(VIDEO_STREAM_CONFIG_CAPS)), size);
    AM_MEDIA_TYPE* none = nullptr;
    VIDEO_STREAM_CONFIG_CAPS caps{};
    EXPECT_EQ(S_FALSE, config_->GetStreamCaps(4, &none, reinterpret_cast<BYTE*>(&caps)));
    for (int i = 0; i < count; ++i) {
        const MediaTypePtr mt = capability(i);
        ASSERT_TRUE(mt);
        EXPECT_TRUE(IsEqualGUID(mt->subtype, MEDIASUBTYPE_RGB24));
        ASSERT_NE(nullptr, dshow::videoInfo(*mt));
        EXPECT_EQ(24, dshow::videoInfo(*mt)->bmiHeader.biBitCount);
    }
}

TEST_F(VirtualCameraTest, SizeChangeOnAConnectedPinReconnectsAndDelivers) {
    buildGraph();
    EXPECT_EQ(640, connectedSize(output_.get()).cx);
    ASSERT_TRUE(runUntilSampleOf(640 * 480 * 3));

    // Refused while running, taken once stopped.
    const MediaTypePtr large = capability(1);
    EXPECT_EQ(VFW_E_NOT_STOPPED, config_->SetFormat(large.get()));
    graph_.as<IMediaControl>(IID_IMediaControl)->Stop();
    ASSERT_EQ(S_OK, config_->SetFormat(large.get()));
    EXPECT_EQ(1280, connectedSize(output_.get()).cx);
    EXPECT_EQ(960, connectedSize(grabberIn_.get()).cy);
    AM_MEDIA_TYPE* current = nullptr;
    ASSERT_EQ(S_OK, config_->GetFormat(&current));
    EXPECT_EQ(1280, dshow::videoInfo(*MediaTypePtr{current})->bmiHeader.biWidth);
    EXPECT_TRUE(runUntilSampleOf(1280 * 960 * 3)) << "buffers were not renegotiated for the larger frames";

    // A size the camera lacks changes nothing.
    graph_.as<IMediaControl>(IID_IMediaControl)->Stop();
    VIDEOINFOHEADER* vih = reinterpret_cast<VIDEOINFOHEADER*>(large->pbFormat);
    vih->bmiHeader.biWidth = 800;
    vih->bmiHeader.biHeight = 600;
    EXPECT_EQ(VFW_E_INVALIDMEDIATYPE, config_->SetFormat(large.get()));
    EXPECT_EQ(1280, connectedSize(output_.get()).cx);
}

}  // namespace
}  // namespace orvix::test
