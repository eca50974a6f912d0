// Base64 text of a 50 MB document, the size bench/base64_vs_coreutils.sh
// also gives coreutils. The one-shot form pays for faulting in a fresh 68 MB
// string; the streaming form into a discarding sink is what `base64 >
// /dev/null` does.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "encoding/base64.h"

namespace {

constexpr std::size_t kBytes = 50u * 1024 * 1024;

const std::vector<std::uint8_t>& buffer() {
    static const std::vector<std::uint8_t> data = [] {
        std::vector<std::uint8_t> d(kBytes);
        std::mt19937 rng(76);
        for (auto& b : d) b = static_cast<std::uint8_t>(rng());
        return d;
    }();
    return data;
}

void BM_Base64_50MB(benchmark::State& state) {
    const auto& data = buffer();
    for (auto _ : state) {
        std::string text = orvix::encodeBase64(data);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * data.size()));
}

class DiscardSink final : public orvix::ByteSink {
public:
    void write(std::span<const std::uint8_t> bytes) override {
        benchmark::DoNotOptimize(bytes.data());
        taken_ += bytes.size();
    }
    std::uint64_t position() const override { return taken_; }

private:
    std::uint64_t taken_ = 0;
};

void BM_Base64Stream_50MB(benchmark::State& state) {
    const auto& data = buffer();
    for (auto _ : state) {
        DiscardSink sink;
        orvix::Base64Encoder encoder(sink);
        encoder.encode(data);
        encoder.finish();
        benchmark::DoNotOptimize(sink.position());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * data.size()));
}

}  // namespace

BENCHMARK(BM_Base64_50MB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Base64Stream_50MB)->Unit(benchmark::kMillisecond);
