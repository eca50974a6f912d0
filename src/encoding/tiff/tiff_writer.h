#pragma once
// Multi-page little-endian TIFF documents: pages in order, each with the
// compression and colour model its encoding record asks for.
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "encoding/byte_sink.h"
#include "encoding/io_params.h"
#include "errors.h"
#include "pages/image.h"

namespace orvix {

// A stream that a page cannot be linked into (big-endian, not TIFF, broken chain).
class TiffFormatError : public Error {
public:
    using Error::Error;
};

class PageStrip;

struct TiffPage {
    Image image;
    TIOParamsVals record = TIOParamsVals::forPage();
};

// Writes pages one after another to a forward-only sink. Each page is coded
// in memory first, since the previous IFD has to point at the next one.
// Offsets count from the sink's position when the first page arrives.
class TiffWriter {
public:
    explicit TiffWriter(ByteSink& out) : out_(out) {}
    TiffWriter(const TiffWriter&) = delete;
    TiffWriter& operator=(const TiffWriter&) = delete;

    // Works on a copy of the record; with no page added nothing is written.
    void addPage(const Image& image, const TIOParamsVals& record);
    // Ends the IFD chain. Throws if a page failed half-way.
    void finish();

    int pageCount() const { return pages_; }

private:
    ByteSink& out_;
    std::uint64_t start_ = 0;
    int pages_ = 0;
    bool broken_ = false;
    bool finished_ = false;
};

void writeTiff(std::span<const TiffPage> pages, ByteSink& out);
// Every page of the strip, in strip order.
void writeTiff(const PageStrip& strip, ByteSink& out);

// Links one more page into the little-endian TIFF held in `file`, at chain
// position record.tiffImageIndex (past the end, or negative: last), and
// returns the page count afterwards. The page's data and IFD go to the end
// of the file. Throws TiffFormatError, leaving the file alone, when it is not
// a little-endian TIFF or its chain is broken.
int appendTiffPage(std::vector<std::uint8_t>& file, const Image& image, TIOParamsVals& record);


}  // namespace orvix
