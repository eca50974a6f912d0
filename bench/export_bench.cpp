// The frame's whole-document exports against the bare page encoders they
// are built on. Each iteration runs both on the same ten pages, one after
// the other, so both see the same machine load; the ratio counter is
// export time / encoder time.
#include <benchmark/benchmark.h>

#include <chrono>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <utility>

#include "encoding/byte_sink.h"
#include "encoding/io_params.h"
#include "encoding/jpeg_encoder.h"
#include "encoding/lzw_encoder.h"
#include "oracles/synthetic_page.h"
#include "support/test_pump.h"
#include "support/test_shell.h"
#include "ui/frame.h"

namespace {

constexpr int kPages = 10;

struct Document {
    orvix::test::TestShell shell;
    orvix::test::TestPump pump;
    orvix::TmyOrvixCamFrame frame{shell, pump};
};

// Built once per size: making a page costs more than encoding it.
orvix::TmyOrvixCamFrame& document(int width, int height) {
    static std::map<std::pair<int, int>, std::unique_ptr<Document>> documents;
    auto& doc = documents[{width, height}];
    if (!doc) {
        doc = std::make_unique<Document>();
        for (int p = 0; p < kPages; ++p) {
            const int i = doc->frame.ImageEnMView1.append();
            doc->frame.ImageEnMView1.setImage(i, orvix::oracle::makeDocumentPage(width, height, 2024 + p));
        }
    }
    return doc->frame;
}

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void report(benchmark::State& state, double exportSeconds, double encoderSeconds, std::size_t exportBytes,
            std::size_t encoderBytes) {
    const double n = static_cast<double>(state.iterations());
    state.counters["export_ms"] = 1e3 * exportSeconds / n;
    state.counters["encoder_ms"] = 1e3 * encoderSeconds / n;
    state.counters["ratio"] = exportSeconds / encoderSeconds;
    state.counters["export_B"] = static_cast<double>(exportBytes);
    state.counters["encoder_B"] = static_cast<double>(encoderBytes);
}

// TIFF with one JPEG strip per page vs libjpeg-turbo on the pages alone.
void BM_Export_Tiff(benchmark::State& state) {
    auto& frame = document(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    frame.setExportParams();
    double exportSeconds = 0, encoderSeconds = 0;
    std::size_t exportBytes = 0, encoderBytes = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        const std::string text = frame.allImageAsTIFFData();
        const double took = secondsSince(start);
        exportSeconds += took;
        exportBytes = text.size();
        benchmark::DoNotOptimize(text.data());

        start = Clock::now();
        encoderBytes = 0;
        for (int i = 0; i < kPages; ++i) {
            orvix::VectorSink sink;
            orvix::encodeJpeg(frame.ImageEnMView1.image(i), frame.ImageEnMView1.record(i), sink);
            encoderBytes += sink.bytes().size();
            benchmark::DoNotOptimize(sink.bytes().data());
        }
        encoderSeconds += secondsSince(start);
        state.SetIterationTime(took);
    }
    report(state, exportSeconds, encoderSeconds, exportBytes, encoderBytes);
}

// PDF with one LZW image per page vs our LZW on the pages' RGB rows alone.
void BM_Export_Pdf(benchmark::State& state) {
    auto& frame = document(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    double exportSeconds = 0, encoderSeconds = 0;
    std::size_t exportBytes = 0, encoderBytes = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        const std::string text = frame.allImageAsPdfData();
        const double took = secondsSince(start);
        exportSeconds += took;
        exportBytes = text.size();
        benchmark::DoNotOptimize(text.data());

        start = Clock::now();
        encoderBytes = 0;
        for (int i = 0; i < kPages; ++i) {
            const orvix::Image& img = frame.ImageEnMView1.image(i);
            orvix::VectorSink sink;
            orvix::LzwEncoder encoder(sink);
            for (int y = 0; y < img.height(); ++y) encoder.encode(std::span(img.row(y), img.stride()));
            encoder.finish();
            encoderBytes += sink.bytes().size();
            benchmark::DoNotOptimize(sink.bytes().data());
        }
        encoderSeconds += secondsSince(start);
        state.SetIterationTime(took);
    }
    report(state, exportSeconds, encoderSeconds, exportBytes, encoderBytes);
}

}  // namespace

BENCHMARK(BM_Export_Tiff)->Args({2592, 1944})->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Export_Pdf)->Args({2592, 1944})->Args({1600, 1200})->UseManualTime()->Unit(benchmark::kMillisecond);
