#pragma once
// Pages as one PDF 1.4 document, each image drawn on its own page and scaled
// to the paper its record names.
#include <variant>
#include <vector>

#include "encoding/byte_sink.h"
#include "encoding/io_params.h"
#include "encoding/pdf/bilevel_image.h"
#include "encoding/pdf/pdf_date.h"
#include "pages/image.h"
#include "pages/page_strip.h"

namespace orvix {

struct PdfPage {
    std::variant<Image, pdf::BilevelImage> image;
    TIOParamsVals record = TIOParamsVals::forPage();
};

// No pages: nothing is written. The information fields come from the first
// page's record. `out` must be at position 0.
void writePdf(const std::vector<PdfPage>& pages, ByteSink& out, const pdf::DateTime& created = pdf::localNow());

// Every page of the strip; each record's sample layout is set to 8 x 3, as
// written.
void writePdf(PageStrip& strip, ByteSink& out, const pdf::DateTime& created = pdf::localNow());

// One page, the main view's image with the main view's record.
void writeSinglePagePdf(const Image& image, TIOParamsVals& record, ByteSink& out,
                        const pdf::DateTime& created = pdf::localNow());

}  // namespace orvix
