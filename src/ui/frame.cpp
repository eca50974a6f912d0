#include "ui/frame.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "errors.h"
#include "pages/edit/text_renderer.h"
#include "encoding/temp_folder.h"
#include "pages/image_readers.h"
#include "net/url_fetcher.h"
#include "ui/edit/edit_tools.h"
#include "ui/edit/stamper.h"
#include "ui/open_filter.h"
#include "ui/texts.h"

namespace orvix {

std::optional<double> MainView::fitToWidthZoom(int imageWidth, int imageHeight, int clientWidth,
                                               int clientHeight, int scrollBarWidth) {
    if (imageWidth <= 0 || imageHeight <= 0 || clientWidth <= 0) return std::nullopt;
    const double zoom = 100.0 * clientWidth / imageWidth;
    // A zoomed image taller than the view brings a vertical scroll bar, which
    // takes width away: fit again to what is left.
    if (imageHeight * zoom / 100.0 <= clientHeight || clientWidth <= scrollBarWidth) return zoom;
    return 100.0 * (clientWidth - scrollBarWidth) / imageWidth;
}

std::optional<double> MainView::fitZoom(int imageWidth, int imageHeight, int clientWidth,
                                        int clientHeight) {
    if (imageWidth <= 0 || imageHeight <= 0 || clientWidth <= 0 || clientHeight <= 0) {
        return std::nullopt;
    }
    return std::min(100.0 * clientWidth / imageWidth, 100.0 * clientHeight / imageHeight);
}

void MainView::fitToWidth() {
    if (auto z = fitToWidthZoom(image.width(), image.height(), clientWidth, clientHeight, scrollBarWidth)) {
        zoom = *z;
    }
}

void MainView::fit() {
    if (auto z = fitZoom(image.width(), image.height(), clientWidth, clientHeight)) zoom = *z;
}

TmyOrvixCamFrame::TmyOrvixCamFrame(Shell& shell, MessagePump& pump)
    : lblPicNumbers(texts::kCountZero),
      textRenderer_(makeSystemTextRenderer()),
      edit_(std::make_unique<EditTools>(*this, shell)),
      stamp_(std::make_unique<Stamper>(*this, *textRenderer_)),
      shell_(shell),
      pump_(pump) {}

TmyOrvixCamFrame::~TmyOrvixCamFrame() = default;

void TmyOrvixCamFrame::describe(TIOParamsVals& record, const DecodedImage& decoded) {
    record.bitsPerSample = decoded.bitsPerSample;
    record.samplesPerPixel = decoded.samplesPerPixel;
    record.dpiX = decoded.dpiX;
    record.dpiY = decoded.dpiY;
    record.jpegProgressive = decoded.progressive;
}

void TmyOrvixCamFrame::notice(const char* text) {
    shell_.messageBox(text, texts::kCaptionNotice, mb::kNotice);
}

void TmyOrvixCamFrame::ImageEnMView1ImageSelect(int index) {
    // Before the index check: showing "nothing" still stops the preview.
    if (beforeShowPage) beforeShowPage();
    if (index < 0) return;
    Img1.image = ImageEnMView1.image(index);
    Img1.fitToWidth();
    pump_.pumpPending();
}

void TmyOrvixCamFrame::ImageEnMView1KeyUp(int& key, unsigned /*shiftState*/) {
    if (key != kDeleteKey || ImageEnMView1.selected() < 0) return;
    const int answer = shell_.messageBox(texts::kConfirmDelete, texts::kCaptionNotice, mb::kConfirm);
    // The box is modal but messages ran under it: read the selection again.
    const int selected = ImageEnMView1.selected();
    if (answer == mb::kIdYes && selected >= 0) {
        ImageEnMView1.remove(selected);
        ImageEnMView1ImageSelect(ImageEnMView1.selected());
        updateCountLabel();
    }
    key = 0;
    pump_.pumpPending();
}

void TmyOrvixCamFrame::N2Click() {
    int key = kDeleteKey;
    ImageEnMView1KeyUp(key, 0);
}

void TmyOrvixCamFrame::btn13Click() {
    if (ImageEnMView1.selected() < 0) {
        notice(texts::kSelectImageToDelete);
        return;
    }
    // Windows sends the strip a key-up and waits; the handler is the same.
    int key = kDeleteKey;
    ImageEnMView1KeyUp(key, 0);
}

void TmyOrvixCamFrame::N3Click() {
    if (ImageEnMView1.count() == 0) {
        notice(texts::kNoImageData);
        return;
    }
    const int s = ImageEnMView1.selected();
    ImageEnMView1.move(s, s - 1);
}

void TmyOrvixCamFrame::N4Click() {
    if (ImageEnMView1.count() == 0) {
        notice(texts::kNoImageData);
        return;
    }
    const int s = ImageEnMView1.selected();
    ImageEnMView1.move(s, s + 1);
}

void TmyOrvixCamFrame::ImageEnMView1MouseMove(unsigned shiftState, int /*x*/, int /*y*/) {
    if ((shiftState & shift::kLeft) == 0) return;
    // Clicks must not reselect while the page is dragged.
    ImageEnMView1.setMouseInteract(MouseInteract::None);
    ImageEnMView1.beginDrag();
}

DragOverResult TmyOrvixCamFrame::ImageEnMView1DragOver(bool sourceIsStrip, int x, int y) {
    // A drop from anywhere else would move the selected page: refuse it.
    if (!sourceIsStrip) return {};
    const PageStrip& strip = ImageEnMView1;
    const int i = strip.insertionIndexAt(x, y);
    // For i == count this is the free slot under the last thumbnail, where
    // the page will land, rather than the top of the strip.
    const StripRect thumb = strip.thumbRect(i);
    const int left = thumb.left - strip.scrollX();
    const int top = thumb.top - strip.scrollY();
    DropMarker m;
    m.x1 = left + 10;
    m.y1 = top;
    m.x2 = left + strip.layout().thumbWidth - 10;
    m.y2 = top;
    m.penWidth = strip.layout().selectionWidth;
    return {true, m};
}

void TmyOrvixCamFrame::ImageEnMView1DragDrop(int x, int y) {
    ImageEnMView1.moveSelectedTo(ImageEnMView1.insertionIndexAt(x, y));
}

void TmyOrvixCamFrame::ImageEnMView1EndDrag() {
    ImageEnMView1.endDrag();
    ImageEnMView1.setMouseInteract(MouseInteract::Select);
}

bool TmyOrvixCamFrame::openMultiPictureWithDialog() {
    OpenFilesRequest request;
    request.filter = openImageFilter();
    request.filterIndex = 1;
    request.multiSelect = true;
    request.mustExist = true;
    request.hideReadOnly = true;
    const auto files = shell_.openFiles(request);
    if (!files) return false;
    bool allRead = true;
    try {
        for (const std::string& name : *files) {
            if (!openImageFile(name)) allRead = false;
        }
        if (ImageEnMView1.count() > 0) {
            ImageEnMView1.select(0);
            ImageEnMView1ImageSelect(0);
            pump_.pumpPending();
            updateCountLabel();
        }
    } catch (const std::exception&) {
        // Pages added so far stay; the script only learns that it failed.
        return false;
    }
    return allRead;
}

bool TmyOrvixCamFrame::openImageFile(const std::string& fileName) {
    DecodedImage decoded;
    try {
        decoded = readImageFile(fileName);
    } catch (const DecodeError&) {
        // Skip it: appending the view's old image instead would give the
        // user a duplicate page for a file that never opened.
        return false;
    }
    if (decoded.image.empty()) return false;

    Img1.image = std::move(decoded.image);
    describe(Img1.record, decoded);
    Img1.fit();

    const int index = ImageEnMView1.append();
    ImageEnMView1.setImage(index, Img1.image);
    pump_.pumpPending();
    updateCountLabel();
    setExportParams();
    return true;
}

void TmyOrvixCamFrame::clearAll() {
    Img1.image.fill(kButtonFace);
    img2.image.fill(kButtonFace);
    ImageEnMView1.clear();
    img_watermark.image.fill(kButtonFace);
    updateCountLabel();
}

int TmyOrvixCamFrame::getImageCount() const { return ImageEnMView1.count(); }

bool TmyOrvixCamFrame::deleteAt(int id) {
    ImageEnMView1.remove(id);
    updateCountLabel();
    return true;
}

void TmyOrvixCamFrame::updateCountLabel() {
    lblPicNumbers = texts::kCountPrefix + std::to_string(ImageEnMView1.count());
}

void TmyOrvixCamFrame::setExportParams() {
    for (int i = 0; i < ImageEnMView1.count(); ++i) forceExportValues(ImageEnMView1.record(i));
}

}  // namespace orvix
