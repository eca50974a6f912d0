#pragma once
// The camera's streaming thread: while the filter runs it fills a buffer from
// the downstream allocator with the next picture at a steady rate and delivers
// it; while paused it delivers nothing, as a live source does.
#include <windows.h>
#include <dshow.h>

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "control/win32/com_ptr.h"
#include "media_types.h"

namespace orvix::vcam {

class FrameStream {
public:
    FrameStream() = default;
    ~FrameStream() { stop(); }
    FrameStream(const FrameStream&) = delete;
    FrameStream& operator=(const FrameStream&) = delete;

    // Commits the allocator and starts the thread, paused.
    HRESULT start(com::ComPtr<IMemAllocator> allocator, com::ComPtr<IMemInputPin> input, FrameSize size, int instance);
    // Sample times are stream times on `clock` when there is one.
    void run(com::ComPtr<IReferenceClock> clock, REFERENCE_TIME streamStart);
    void pause();
    // Decommits the allocator (releasing a thread waiting for a buffer) and joins the thread.
    void stop();

private:
    enum class Mode { Paused, Running, Quit };

    void loop();
    void deliverOne();

    std::mutex mutex_;
    std::condition_variable wake_;
    Mode mode_ = Mode::Quit;
    com::ComPtr<IReferenceClock> clock_;
    REFERENCE_TIME streamStart_ = 0;

    // Fixed while the thread exists.
    std::thread thread_;
    com::ComPtr<IMemAllocator> allocator_;
    com::ComPtr<IMemInputPin> input_;
    FrameSize size_{};
    int instance_ = -1;
    std::vector<std::uint8_t> page_;
    std::uint32_t frame_ = 0;
};

}  // namespace orvix::vcam
