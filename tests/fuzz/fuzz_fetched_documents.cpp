// libFuzzer target for what a url load takes from outside: the url text and
// the fetched document with its type hint. Any input must split or throw
// FetchError, and give pages or none, never crash.
// Build and run (from the repository root, clang with libFuzzer):
//   clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -Isrc \
//     tests/fuzz/fuzz_fetched_documents.cpp src/net/fetch_url.cpp src/net/fetched_images.cpp \
//     src/pages/readers/*.cpp src/pages/image.cpp -ljpeg -lpng16 -ltiff -lgif -lz \
//     -o build/fuzz_fetched_documents
//   build/fuzz_fetched_documents -rss_limit_mb=3072 -timeout=10 -max_len=200000 CORPUS_DIR
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "net/fetch_url.h"
#include "net/fetched_images.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace orvix::net;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        splitFetchUrl(text);
    } catch (const FetchError&) {
    }
    typeHintFromContentType(text);
    typeHintFromFtpObject(text);
    announcedLength(text);

    static constexpr const char* kHints[] = {"jpeg", "tiff", "gif", "png", "bmp", "x-portable-pixmap",
                                             "octet-stream", ""};
    Fetched fetched{{data, data + size}, size ? kHints[data[0] % 8] : ""};
    fetchedPages(fetched);
    fetchedPicture(fetched.data);
    return 0;
}
