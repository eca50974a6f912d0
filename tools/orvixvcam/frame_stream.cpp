#include "frame_stream.h"

#include <chrono>
#include <cstring>

#include "page_painter.h"

namespace orvix::vcam {

using com::ComPtr;

HRESULT FrameStream::start(ComPtr<IMemAllocator> allocator, ComPtr<IMemInputPin> input, FrameSize size, int instance) {
    stop();
    HRESULT hr = allocator->Commit();
    if (FAILED(hr)) return hr;
    allocator_ = std::move(allocator);
    input_ = std::move(input);
    if (!(size == size_) || instance != instance_ || page_.empty()) {
        page_.assign(dibBytes(size.width, size.height), 0);
        paintPage({page_.data(), size.width, size.height}, instance);
        size_ = size;
        instance_ = instance;
    }
    mode_ = Mode::Paused;
    thread_ = std::thread([this] { loop(); });
    return S_OK;
}

void FrameStream::run(ComPtr<IReferenceClock> clock, REFERENCE_TIME streamStart) {
    std::lock_guard lock(mutex_);
    if (mode_ == Mode::Quit) return;
    clock_ = std::move(clock);
    streamStart_ = streamStart;
    mode_ = Mode::Running;
    wake_.notify_all();
}

void FrameStream::pause() {
    std::lock_guard lock(mutex_);
    if (mode_ == Mode::Running) mode_ = Mode::Paused;
    wake_.notify_all();
}

void FrameStream::stop() {
    {
        std::lock_guard lock(mutex_);
        mode_ = Mode::Quit;
        wake_.notify_all();
    }
    if (allocator_) allocator_->Decommit();
    if (thread_.joinable()) thread_.join();
    allocator_.reset();
    input_.reset();
    clock_.reset();
}

void FrameStream::loop() {
    const HRESULT co = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    using Clock = std::chrono::steady_clock;
    const auto interval = std::chrono::microseconds(kFrameInterval / 10);
    auto next = Clock::now();
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return mode_ != Mode::Paused; });
            if (mode_ == Mode::Quit) break;
            // Wait for the frame's time; a pause or stop meanwhile cancels the frame.
            if (wake_.wait_until(lock, next, [this] { return mode_ != Mode::Running; })) {
                next = Clock::now();
                continue;
            }
        }
        deliverOne();
        next += interval;
        // After a stall, keep the rate instead of catching up with a burst.
        if (next < Clock::now()) next = Clock::now() + interval;
    }
    if (SUCCEEDED(co)) CoUninitialize();
}

void FrameStream::deliverOne() {
    IMediaSample* raw = nullptr;
    if (FAILED(allocator_->GetBuffer(&raw, nullptr, nullptr, 0)) || !raw) return;
    const auto sample = ComPtr<IMediaSample>::adopt(raw);
    BYTE* bits = nullptr;
    const long bytes = static_cast<long>(page_.size());
    if (FAILED(sample->GetPointer(&bits)) || !bits || sample->GetSize() < bytes) return;
    std::memcpy(bits, page_.data(), page_.size());
    paintFrameDetails({bits, size_.width, size_.height}, frame_++);
    sample->SetActualDataLength(bytes);
    sample->SetSyncPoint(TRUE);
    ComPtr<IReferenceClock> clock;
    REFERENCE_TIME streamStart = 0;
    {
        std::lock_guard lock(mutex_);
        clock = clock_;
        streamStart = streamStart_;
    }
    REFERENCE_TIME now = 0;
    if (clock && SUCCEEDED(clock->GetTime(&now))) {
        REFERENCE_TIME begin = now - streamStart;
        REFERENCE_TIME end = begin + kFrameInterval;
        sample->SetTime(&begin, &end);
    }
    input_->Receive(sample.get());
}

}  // namespace orvix::vcam
