#include "encoding/tiff/tiff_writer.h"

#include "encoding/tiff/tiff_block.h"
#include "encoding/tiff/tiff_page.h"
#include "pages/page_strip.h"

namespace orvix {

using tiff::EncodedPage;
using tiff::encodeTiffPage;
using tiff::storeLe32;

namespace {

constexpr std::uint8_t kLittleEndianMagic[4] = {'I', 'I', 42, 0};

void writeLe32(ByteSink& out, std::uint32_t v) {
    std::uint8_t b[4];
    storeLe32(b, v);
    out.write(b);
}

}  // namespace

void TiffWriter::addPage(const Image& image, const TIOParamsVals& record) {
    if (broken_) throw Error("TIFF document was cut off by an earlier failure");
    if (finished_) throw Error("TIFF document already finished");
    TIOParamsVals settings = record;
    settings.tiffImageIndex = pages_;
    if (pages_ == 0) start_ = out_.position();
    // The pointer to this page's IFD (in the header or the previous IFD) is
    // still to be written; the page lands right after it.
    const std::uint64_t pointerAt = pages_ == 0 ? 4 : out_.position() - start_;
    EncodedPage page = encodeTiffPage(image, settings, pointerAt + 4, 0);
    broken_ = true;
    if (pages_ == 0) out_.write(kLittleEndianMagic);
    writeLe32(out_, page.ifdOffset);
    // The new IFD's own next pointer stays open until the next page or finish().
    out_.write(std::span(page.bytes).first(page.bytes.size() - 4));
    broken_ = false;
    ++pages_;
}

void TiffWriter::finish() {
    if (broken_) throw Error("TIFF document was cut off by an earlier failure");
    if (finished_ || pages_ == 0) return;
    broken_ = true;
    writeLe32(out_, 0);
    broken_ = false;
    finished_ = true;
}

void writeTiff(std::span<const TiffPage> pages, ByteSink& out) {
    TiffWriter writer(out);
    for (const TiffPage& p : pages) writer.addPage(p.image, p.record);
    writer.finish();
}

void writeTiff(const PageStrip& strip, ByteSink& out) {
    TiffWriter writer(out);
    for (int i = 0; i < strip.count(); ++i) writer.addPage(strip.image(i), strip.record(i));
    writer.finish();
}

}  // namespace orvix
