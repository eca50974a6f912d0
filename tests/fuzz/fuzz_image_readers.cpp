// libFuzzer target for the image readers: any input must decode or throw DecodeError.
// Build and run (from the repository root, clang with libFuzzer):
//   clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -Isrc \
//     tests/fuzz/fuzz_image_readers.cpp src/pages/readers/*.cpp src/pages/image.cpp \
//     -ljpeg -lpng16 -ltiff -lgif -lz -o build/fuzz_image_readers
//   build/fuzz_image_readers -rss_limit_mb=3072 -timeout=10 -max_len=200000 CORPUS_DIR
#include <cstddef>
#include <cstdint>
#include <span>

#include "errors.h"
#include "pages/image_readers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    orvix::ImageFormat format = orvix::sniffFormat(bytes);
    // Headerless inputs still reach every decoder, chosen by the first byte.
    if (format == orvix::ImageFormat::Unknown && size > 0)
        format = static_cast<orvix::ImageFormat>(1 + data[0] % 6);
    try {
        orvix::decodeImages(bytes, format, 4);
    } catch (const orvix::DecodeError&) {
    }
    return 0;
}
