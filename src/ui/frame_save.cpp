// The frame's saves to files the user chooses, the writer picked by the
// chosen name's extension.
#include <string>
#include <string_view>
#include <vector>

#include "encoding/byte_sink.h"
#include "encoding/jpeg_encoder.h"
#include "encoding/pdf/pdf_writer.h"
#include "encoding/save/bmp_writer.h"
#include "encoding/save/gif_writer.h"
#include "encoding/save/png_writer.h"
#include "encoding/save/pnm_writer.h"
#include "encoding/save/save_formats.h"
#include "encoding/tiff/tiff_writer.h"
#include "ui/frame.h"
#include "ui/save_filter.h"
#include "ui/texts.h"

namespace orvix {
namespace {

std::string_view trimmed(std::string_view s) {
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

// The record-editing page of the dialog is not offered: the records stay as they are.
std::optional<std::string> askName(Shell& shell, int filterIndex, const char* defaultExtension) {
    auto name = shell.saveFile({saveImageFilter(), filterIndex, defaultExtension});
    if (!name || trimmed(*name).empty()) return std::nullopt;
    return name;
}

void writeAll(PageStrip& strip, MultiPageFormat format, FileSink& file) {
    switch (format) {
        case MultiPageFormat::Tiff:
            for (int i = 0; i < strip.count(); ++i) strip.record(i).tiffImageIndex = i;
            writeTiff(strip, file);
            break;
        case MultiPageFormat::Pdf:
            writePdf(strip, file);
            break;
        case MultiPageFormat::Gif: {
            std::vector<Image> frames;
            frames.reserve(static_cast<std::size_t>(strip.count()));
            for (int i = 0; i < strip.count(); ++i) frames.push_back(strip.image(i));
            writeGif(frames, file);
            break;
        }
        case MultiPageFormat::None:
            break;
    }
}

void writeOne(const Image& image, TIOParamsVals& record, SingleImageFormat format, FileSink& file) {
    switch (format) {
        case SingleImageFormat::Jpeg:
            encodeJpeg(image, record, file);
            break;
        case SingleImageFormat::Tiff: {
            TiffWriter writer(file);
            writer.addPage(image, record);
            writer.finish();
            break;
        }
        case SingleImageFormat::Pdf:
            writeSinglePagePdf(image, record, file);
            break;
        case SingleImageFormat::Png:
            writePng(image, file);
            break;
        case SingleImageFormat::Bmp:
            writeBmp(image, file, record.dpiX, record.dpiY);
            break;
        case SingleImageFormat::Ppm:
            writePnm(image, PnmKind::Pixmap, file);
            break;
        case SingleImageFormat::Pgm:
            writePnm(image, PnmKind::Greymap, file);
            break;
        case SingleImageFormat::Pbm:
            writePnm(image, PnmKind::Bitmap, file);
            break;
        case SingleImageFormat::Gif:
            writeGif(std::span(&image, 1), file);
            break;
        case SingleImageFormat::None:
            break;
    }
}

}  // namespace

bool TmyOrvixCamFrame::saveAllWithDialog() {
    if (ImageEnMView1.count() == 0) {
        notice(texts::kNoImageInfo);
        return false;
    }
    setExportParams();
    const auto name = askName(shell_, 1, "tiff");
    if (!name) return false;
    const MultiPageFormat format = multiPageFormatFor(trimmed(*name));
    // Reporting success here would tell the script a file exists when none does.
    if (format == MultiPageFormat::None) return false;
    FileSink file(*name);
    writeAll(ImageEnMView1, format, file);
    file.close();
    return true;
}

void TmyOrvixCamFrame::btn12Click() {
    if (Img1.image.empty() || (Img1.image.width() < 2 && Img1.image.height() < 2)) {
        notice(texts::kNoImageInfo);
        return;
    }
    const auto name = askName(shell_, 0, "jpg");
    if (!name) return;
    Img1.record.tiffCompression = kTiffCompressionLzw;
    Img1.record.pdfCompression = kPdfCompressionLzw;
    const SingleImageFormat format = singleImageFormatFor(trimmed(*name));
    if (format == SingleImageFormat::None) return;
    FileSink file(*name);
    writeOne(Img1.image, Img1.record, format, file);
    file.close();
}

}  // namespace orvix
