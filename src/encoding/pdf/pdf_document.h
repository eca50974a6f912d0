#pragma once
// A document under construction: catalog, shared resources, and per page an
// image, a content stream that places it and a page dictionary; finished
// with the page tree and the information dictionary, then written out.
#include <cstdint>
#include <memory>
#include <vector>

#include "encoding/byte_sink.h"
#include "encoding/io_params.h"
#include "encoding/pdf/bilevel_image.h"
#include "encoding/pdf/pdf_date.h"
#include "encoding/pdf/pdf_file_writer.h"
#include "pages/image.h"

namespace orvix::pdf {

// Where an image lands on the paper: top-left, as large as fits, proportions kept.
struct Placement {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t bottom = 0;  // paper height minus height
};
// Throws Error for an empty image or paper without area.
Placement placeImage(int imageWidth, int imageHeight, std::int32_t paperWidth, std::int32_t paperHeight);

class Document {
public:
    static constexpr std::int32_t kCatalog = 1;
    static constexpr std::int32_t kResources = 2;

    Document();
    // Writes to `out` as pages are added, so no page is kept: the page count
    // must be known up front and finish() must be given the same sink.
    Document(int pageCount, ByteSink& out);

    // Page k (from 1) takes objects 3k (image), 3k + 1 (content), 3k + 2
    // (page). The record's sample layout is set to what is written.
    void addPage(const Image& image, TIOParamsVals& record);
    void addPage(const BilevelImage& image, TIOParamsVals& record);
    int pageCount() const { return static_cast<int>(pages_.size()); }

    // Adds the page tree and the information dictionary (from `info`) and
    // writes the document. Once only.
    void finish(const TIOParamsVals& info, const DateTime& created, ByteSink& out);

private:
    void addPage(Stream image, int width, int height, const TIOParamsVals& record);
    void checkOpen() const;
    std::int32_t treeNumber() const { return 3 * declaredPages_ + 3; }
    std::int32_t put(Object object);

    ObjectTable table_;
    std::unique_ptr<FileWriter> writer_;  // set when streaming
    int declaredPages_ = 0;
    std::vector<std::int32_t> pages_;
    bool finished_ = false;
};

}  // namespace orvix::pdf
