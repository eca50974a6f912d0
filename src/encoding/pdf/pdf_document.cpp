#include "encoding/pdf/pdf_document.h"

#include <algorithm>
#include <string>

#include "encoding/pdf/pdf_image.h"
#include "encoding/pdf/pdf_syntax.h"
#include "errors.h"

namespace orvix::pdf {

namespace {

std::int32_t truncatedAtLeastOne(int pixels, double scale) {
    return std::max<std::int32_t>(1, static_cast<std::int32_t>(pixels * scale));
}

std::string contentText(const Placement& p, int pageNumber) {
    return "q\n" + std::to_string(p.width) + " 0 0 " + std::to_string(p.height) + " 0 " +
           std::to_string(p.bottom) + " cm\n/lm" + std::to_string(pageNumber) + " Do\nQ";
}

void addText(Dictionary& info, const char* key, const std::string& text) {
    if (!text.empty()) info.set(key, string(text));
}

}  // namespace

Placement placeImage(int imageWidth, int imageHeight, std::int32_t paperWidth, std::int32_t paperHeight) {
    if (imageWidth <= 0 || imageHeight <= 0)
        throw Error("Cannot put an empty image (" + std::to_string(imageWidth) + " x " +
                    std::to_string(imageHeight) + ") on a PDF page");
    if (paperWidth <= 0 || paperHeight <= 0)
        throw Error("PDF paper size " + std::to_string(paperWidth) + " x " + std::to_string(paperHeight) +
                    " is invalid");
    const double e = std::min(static_cast<double>(paperWidth) / imageWidth,
                              static_cast<double>(paperHeight) / imageHeight);
    Placement p;
    p.width = truncatedAtLeastOne(imageWidth, e);
    p.height = truncatedAtLeastOne(imageHeight, e);
    p.bottom = paperHeight - p.height;
    return p;
}

Document::Document() {
    Dictionary catalog;
    catalog.set("Type", name("Catalog"));
    table_.add(std::move(catalog));

    Dictionary resources;
    resources.set("ProcSet", Array{{name("PDF"), name("ImageB")}});
    resources.set("XObject", Dictionary{});
    table_.add(std::move(resources));
}

Document::Document(int pageCount, ByteSink& out)
    : writer_(std::make_unique<FileWriter>(out)), declaredPages_(pageCount) {
    if (pageCount < 1) throw Error("A PDF document needs at least one page");
    Dictionary catalog;
    catalog.set("Type", name("Catalog"));
    catalog.set("Pages", ref(treeNumber()));
    writer_->write(std::move(catalog));

    Dictionary xobjects;
    for (int k = 1; k <= pageCount; ++k) xobjects.set("lm" + std::to_string(k), ref(3 * k));
    Dictionary resources;
    resources.set("ProcSet", Array{{name("PDF"), name("ImageB")}});
    resources.set("XObject", std::move(xobjects));
    writer_->write(std::move(resources));
}

std::int32_t Document::put(Object object) {
    return writer_ ? writer_->write(object) : table_.add(std::move(object));
}

void Document::checkOpen() const {
    if (finished_) throw Error("PDF document already written");
}

void Document::addPage(const Image& image, TIOParamsVals& record) {
    checkOpen();
    placeImage(image.width(), image.height(), record.pdfPaperWidth, record.pdfPaperHeight);
    record.bitsPerSample = 8;
    record.samplesPerPixel = 3;
    addPage(makeImageStream(image, record), image.width(), image.height(), record);
}

void Document::addPage(const BilevelImage& image, TIOParamsVals& record) {
    checkOpen();
    placeImage(image.width(), image.height(), record.pdfPaperWidth, record.pdfPaperHeight);
    record.bitsPerSample = 1;
    record.samplesPerPixel = 1;
    addPage(makeImageStream(image, record), image.width(), image.height(), record);
}

void Document::addPage(Stream image, int width, int height, const TIOParamsVals& record) {
    const int k = pageCount() + 1;
    if (writer_ && k > declaredPages_) throw Error("More PDF pages than declared");
    const Placement placement = placeImage(width, height, record.pdfPaperWidth, record.pdfPaperHeight);

    const std::int32_t imageNumber = put(std::move(image));
    const std::string content = contentText(placement, k);
    const std::int32_t contentNumber = put(Stream(std::vector<std::uint8_t>(content.begin(), content.end())));

    if (!writer_) table_.at(kResources).dictionary().at("XObject").dictionary().set("lm" + std::to_string(k), ref(imageNumber));

    Dictionary page;
    page.set("Type", name("Page"));
    page.set("Resources", ref(kResources));
    page.set("MediaBox", Array{{Object(0), Object(0), Object(record.pdfPaperWidth), Object(record.pdfPaperHeight)}});
    page.set("Contents", ref(contentNumber));
    if (writer_) page.set("Parent", ref(treeNumber()));
    pages_.push_back(put(std::move(page)));
}

void Document::finish(const TIOParamsVals& info, const DateTime& created, ByteSink& out) {
    checkOpen();
    if (writer_ && (&out != &writer_->sink() || pageCount() != declaredPages_))
        throw Error("PDF document finished with another sink or page count than declared");
    finished_ = true;

    Array kids;
    for (std::int32_t page : pages_) kids.items.push_back(ref(page));
    Dictionary tree;
    tree.set("Type", name("Pages"));
    tree.set("Kids", std::move(kids));
    tree.set("Count", Object(pageCount()));
    const std::int32_t treeNumber = put(std::move(tree));
    if (!writer_) {
        for (std::int32_t page : pages_) table_.at(page).dictionary().set("Parent", ref(treeNumber));
        table_.at(kCatalog).dictionary().set("Pages", ref(treeNumber));
    }

    Dictionary information;
    addText(information, "Title", info.pdfTitle);
    addText(information, "Author", info.pdfAuthor);
    addText(information, "Subject", info.pdfSubject);
    addText(information, "Keywords", info.pdfKeywords);
    addText(information, "Creator", info.pdfCreator);
    addText(information, "Producer", info.pdfProducer);
    information.set("CreationDate", string(formatPdfDate(created)));
    const std::int32_t infoNumber = put(std::move(information));

    if (writer_)
        writer_->finish(kCatalog, infoNumber);
    else
        writeFile(table_, kCatalog, infoNumber, out);
}

}  // namespace orvix::pdf
