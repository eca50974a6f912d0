// The per-frame work of the live preview on a 5-megapixel camera frame: the
// grab copy out of the grabber's bottom-up buffer, the stretch to the capture
// size, and the undo copy, each beside a plain memcpy of the same frame.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "capture/sample_copy.h"
#include "pages/edit/resample.h"
#include "pages/image.h"

namespace {

constexpr int kWidth = 2592;
constexpr int kHeight = 1944;

// The grabber's buffer: rows bottom-up, blue-green-red, padded to 4 bytes.
const std::vector<std::uint8_t>& sample() {
    static const std::vector<std::uint8_t> bytes = [] {
        const std::size_t stride = orvix::dibRowStride(kWidth);
        std::vector<std::uint8_t> s(stride * kHeight);
        for (std::size_t i = 0; i < s.size(); ++i) s[i] = static_cast<std::uint8_t>(i * 2654435761u >> 24);
        return s;
    }();
    return bytes;
}

const orvix::Image& frame() {
    static const orvix::Image image = [] {
        orvix::Image f;
        orvix::copyBottomUpBgr(sample(), kWidth, kHeight, f);
        return f;
    }();
    return image;
}

void setBytes(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * frame().byteSize()));
}

void BM_Capture_Memcpy(benchmark::State& state) {
    std::vector<std::uint8_t> out(frame().byteSize());
    for (auto _ : state) {
        std::memcpy(out.data(), frame().data(), frame().byteSize());
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    setBytes(state);
}

// Into the view's bitmap, which already has the frame's size.
void BM_Capture_GrabCopy(benchmark::State& state) {
    orvix::Image view(kWidth, kHeight);
    for (auto _ : state) {
        orvix::copyBottomUpBgr(sample(), kWidth, kHeight, view);
        benchmark::DoNotOptimize(view.data());
        benchmark::ClobberMemory();
    }
    setBytes(state);
}

void BM_Capture_Resample(benchmark::State& state) {
    const int w = static_cast<int>(state.range(0));
    const int h = static_cast<int>(state.range(1));
    for (auto _ : state) {
        orvix::Image out = orvix::resampleNearest(frame(), w, h);
        benchmark::DoNotOptimize(out.data());
    }
    setBytes(state);
}

void BM_Capture_UndoCopy(benchmark::State& state) {
    for (auto _ : state) {
        orvix::Image undo = frame();
        benchmark::DoNotOptimize(undo.data());
    }
    setBytes(state);
}

}  // namespace

BENCHMARK(BM_Capture_Memcpy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Capture_GrabCopy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Capture_Resample)->Args({1280, 960})->Args({1600, 1200})->Args({3264, 2448})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Capture_UndoCopy)->Unit(benchmark::kMillisecond);
