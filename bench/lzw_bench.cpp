// Our LZW encoder against libtiff's on whole document-camera pages, each
// compressed as one stream fed row by row, no predictor.
#include <benchmark/benchmark.h>

#include <map>
#include <utility>

#include "encoding/lzw_encoder.h"
#include "oracles/synthetic_page.h"
#include "oracles/tiff_lzw.h"

namespace {

const orvix::Image& page(int width, int height) {
    static std::map<std::pair<int, int>, orvix::Image> pages;
    auto [it, added] = pages.try_emplace({width, height});
    if (added) it->second = orvix::oracle::makeDocumentPage(width, height, 2024);
    return it->second;
}

void BM_Lzw_Ours(benchmark::State& state) {
    const orvix::Image& img = page(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    std::size_t compressed = 0;
    for (auto _ : state) {
        orvix::VectorSink sink;
        orvix::LzwEncoder encoder(sink);
        for (int y = 0; y < img.height(); ++y) encoder.encode(std::span(img.row(y), img.stride()));
        encoder.finish();
        compressed = sink.bytes().size();
        benchmark::DoNotOptimize(sink.bytes().data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * img.byteSize()));
    state.counters["ratio%"] = 100.0 * static_cast<double>(compressed) / static_cast<double>(img.byteSize());
}

void BM_Lzw_Libtiff(benchmark::State& state) {
    using namespace orvix::oracle::tiff_detail;
    const orvix::Image& img = page(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    std::size_t compressed = 0;
    for (auto _ : state) {
        MemoryFile file;
        TIFF* tif = open(file, "w");
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(img.width()));
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, static_cast<std::uint32_t>(img.height()));
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
        TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, static_cast<std::uint32_t>(img.height()));
        for (int y = 0; y < img.height(); ++y)
            TIFFWriteScanline(tif, const_cast<std::uint8_t*>(img.row(y)), static_cast<std::uint32_t>(y), 0);
        TIFFClose(tif);
        compressed = file.data.size();
        benchmark::DoNotOptimize(file.data.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * img.byteSize()));
    state.counters["ratio%"] = 100.0 * static_cast<double>(compressed) / static_cast<double>(img.byteSize());
}

}  // namespace

BENCHMARK(BM_Lzw_Ours)->Args({2592, 1944})->Args({1600, 1200})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lzw_Libtiff)->Args({2592, 1944})->Args({1600, 1200})->Unit(benchmark::kMillisecond);
