// The page editing operations on a full 5-megapixel camera page, measured
// beside a plain memcpy of the same page as the floor.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "pages/edit/retouch.h"
#include "pages/edit/rotate.h"
#include "pages/image.h"

namespace {

constexpr int kWidth = 2592;
constexpr int kHeight = 1944;

// Paper with grey noise and dark text-like strokes, so both branches of the
// colour cast are taken.
const orvix::Image& page() {
    static const orvix::Image image = [] {
        orvix::Image p(kWidth, kHeight);
        std::mt19937 rng(7);
        for (int y = 0; y < kHeight; ++y) {
            std::uint8_t* row = p.row(y);
            const bool textLine = (y / 24) % 2 == 1;
            for (int x = 0; x < kWidth; ++x) {
                const bool ink = textLine && (x / 7 + y / 3) % 5 == 0;
                const auto v = static_cast<std::uint8_t>(ink ? 20 + rng() % 40 : 215 + rng() % 40);
                row[3 * x] = v;
                row[3 * x + 1] = v;
                row[3 * x + 2] = static_cast<std::uint8_t>(v - v / 16);
            }
        }
        return p;
    }();
    return image;
}

void setBytes(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page().byteSize()));
}

void BM_Edit_Memcpy(benchmark::State& state) {
    std::vector<std::uint8_t> out(page().byteSize());
    for (auto _ : state) {
        std::memcpy(out.data(), page().data(), page().byteSize());
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    setBytes(state);
}

void BM_Edit_Rotate(benchmark::State& state) {
    const double degrees = static_cast<double>(state.range(0));
    for (auto _ : state) {
        orvix::Image out = orvix::rotate(page(), degrees, orvix::kButtonFace);
        benchmark::DoNotOptimize(out.data());
    }
    setBytes(state);
}

void BM_Edit_CastToColor(benchmark::State& state) {
    for (auto _ : state) {
        // The tool works on a copy of the view's image, so the copy counts.
        orvix::Image out = orvix::castToColor(page(), orvix::Rgb{255, 0, 0});
        benchmark::DoNotOptimize(out.data());
    }
    setBytes(state);
}

BENCHMARK(BM_Edit_Memcpy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Edit_Rotate)->Arg(90)->Arg(30)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Edit_CastToColor)->Unit(benchmark::kMillisecond);

}  // namespace
