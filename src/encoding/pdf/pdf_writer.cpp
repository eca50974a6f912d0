#include "encoding/pdf/pdf_writer.h"

#include "encoding/pdf/pdf_document.h"

namespace orvix {

void writePdf(const std::vector<PdfPage>& pages, ByteSink& out, const pdf::DateTime& created) {
    if (pages.empty()) return;
    pdf::Document doc;
    for (const PdfPage& page : pages) {
        // The caller's records stay as they are; the document gets copies.
        TIOParamsVals record = page.record;
        std::visit([&](const auto& image) { doc.addPage(image, record); }, page.image);
    }
    doc.finish(pages.front().record, created, out);
}

void writePdf(PageStrip& strip, ByteSink& out, const pdf::DateTime& created) {
    if (strip.count() == 0) return;
    // Checked before anything is written, so a bad page leaves the sink untouched.
    for (int i = 0; i < strip.count(); ++i)
        pdf::placeImage(strip.image(i).width(), strip.image(i).height(), strip.record(i).pdfPaperWidth,
                        strip.record(i).pdfPaperHeight);
    pdf::Document doc(strip.count(), out);
    for (int i = 0; i < strip.count(); ++i) doc.addPage(strip.image(i), strip.record(i));
    doc.finish(strip.record(0), created, out);
}

void writeSinglePagePdf(const Image& image, TIOParamsVals& record, ByteSink& out, const pdf::DateTime& created) {
    pdf::Document doc;
    doc.addPage(image, record);
    doc.finish(record, created, out);
}

}  // namespace orvix
