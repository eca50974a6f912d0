#include "capture/simulated_camera.h"

#include <utility>

#include "capture/device_selection.h"
#include "capture/sample_copy.h"
#include "errors.h"

namespace orvix {

TIEVideoFormat simulatedFormat(const std::string& subtype, int width, int height) {
    TIEVideoFormat f;
    f.subtypeName = subtype;
    f.outputMinWidth = width;
    f.outputMinHeight = height;
    f.outputMaxWidth = width;
    f.outputMaxHeight = height;
    f.outputStepX = 1;
    f.outputStepY = 1;
    return f;
}

SimulatedCamera::SimulatedCamera(std::vector<SimulatedDevice> devs) : devices(std::move(devs)) {}

Rgb SimulatedCamera::samplePixel(int device, int sample, int x, int y) {
    return {static_cast<std::uint8_t>(x * 7 + sample * 3), static_cast<std::uint8_t>(y * 5 + device * 50),
            static_cast<std::uint8_t>(device * 80 + sample * 11 + (x ^ y))};
}

std::vector<std::string> SimulatedCamera::deviceNames() {
    calls.push_back("names");
    if (names_.empty()) {
        if (failEnumeration) throw Error("device enumeration failed");
        for (const SimulatedDevice& d : devices) names_.push_back(d.name);
    }
    return names_;
}

void SimulatedCamera::selectDevice(int index, int instance) {
    calls.push_back("select " + std::to_string(index) + " " + std::to_string(instance));
    if (index < 0) {
        selected_.reset();
        return;
    }
    if (index >= static_cast<int>(names_.size())) return;
    std::vector<std::string> now;
    for (const SimulatedDevice& d : devices) now.push_back(d.name);
    selected_.reset();
    if (auto at = deviceForInstance(now, names_[static_cast<std::size_t>(index)], instance)) {
        selected_ = static_cast<int>(*at);
    }
}

void SimulatedCamera::connect() {
    calls.push_back("connect");
    setNotificationsEnabled(true);
    if (failConnect) throw Error("cannot build the capture graph");
    connected_ = true;
    running_ = false;
    graphHasGrabber_ = grabberEnabled_;
    samples_ = 0;
    appliedWidth_ = appliedHeight_ = 0;
    graphDevice_ = selected_ && *selected_ < static_cast<int>(devices.size()) ? selected_ : std::nullopt;
    formats_ = graphDevice_ ? devices[static_cast<std::size_t>(*graphDevice_)].formats
                            : std::vector<TIEVideoFormat>{};
}

TIEVideoFormat SimulatedCamera::formatAt(int i) const {
    if (i < 0 || i >= formatCount()) throw Error("List index out of bounds (" + std::to_string(i) + ")");
    return formats_[static_cast<std::size_t>(i)];
}

void SimulatedCamera::applyFormat(int width, int height, const std::string& subtypeName) {
    calls.push_back("apply " + std::to_string(width) + "x" + std::to_string(height) + " " + subtypeName);
    if (!connected_) return;
    if (width != 0 && height != 0) {
        appliedWidth_ = width;
        appliedHeight_ = height;
    }
}

void SimulatedCamera::run() {
    calls.push_back("run");
    if (connected_) running_ = true;
}

void SimulatedCamera::stopWhenReady() {
    calls.push_back("stop");
    running_ = false;
}

void SimulatedCamera::disconnect() {
    calls.push_back("disconnect");
    connected_ = false;
    running_ = false;
    graphHasGrabber_ = false;
    graphDevice_.reset();
}

void SimulatedCamera::deliveredSize(int& width, int& height) const {
    width = 640;
    height = 480;
    if (!graphDevice_) return;
    const SimulatedDevice& d = devices[static_cast<std::size_t>(*graphDevice_)];
    if (d.fixedWidth > 0 && d.fixedHeight > 0) {
        width = d.fixedWidth;
        height = d.fixedHeight;
    } else if (appliedWidth_ > 0 && appliedHeight_ > 0) {
        width = appliedWidth_;
        height = appliedHeight_;
    } else if (!d.formats.empty() && d.formats.front().outputMaxWidth > 0 && d.formats.front().outputMaxHeight > 0) {
        width = d.formats.front().outputMaxWidth;
        height = d.formats.front().outputMaxHeight;
    }
}

bool SimulatedCamera::sampleArrives() {
    if (!connected_ || !running_ || !graphHasGrabber_ || !graphDevice_) return false;
    ++samples_;
    if (notificationsEnabled() && post) {
        post([this] {
            ++delivered_;
            deliverNewFrame();
        });
    }
    return true;
}

void SimulatedCamera::grabFrame(Image& bitmap) {
    if (!connected_ || !graphHasGrabber_) return;
    int w = 0, h = 0;
    deliveredSize(w, h);
    if (samples_ == 0 || !graphDevice_) {
        copyBottomUpBgr({}, w, h, bitmap);
        return;
    }
    // Built the way the grabber holds it: bottom-up BGR rows padded to 4 bytes.
    const std::size_t stride = dibRowStride(w);
    std::vector<std::uint8_t> sample(stride * static_cast<std::size_t>(h));
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = sample.data() + stride * static_cast<std::size_t>(h - 1 - y);
        for (int x = 0; x < w; ++x, row += 3) {
            const Rgb c = samplePixel(*graphDevice_, samples_, x, y);
            row[0] = c.b;
            row[1] = c.g;
            row[2] = c.r;
        }
    }
    copyBottomUpBgr(sample, w, h, bitmap);
}

}  // namespace orvix
