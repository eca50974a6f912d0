#pragma once
// The frame: owner of all page and view state and of the handlers that the
// strip, the menu and the buttons run. Windows binds it to real controls.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "encoding/io_params.h"
#include "pages/image.h"
#include "pages/page_strip.h"
#include "ui/message_pump.h"
#include "ui/shell.h"

namespace orvix {

// The main view: what it shows, its record and its zoom.
struct MainView {
    Image image;
    TIOParamsVals record = TIOParamsVals::forView();
    double zoom = 100.0;  // percent
    bool autoFit = false;
    int clientWidth = 0;  // inside the borders, without scroll bars; set by the window
    int clientHeight = 0;
    int scrollBarWidth = 17;

    // nullopt when there is no image or no client area to fit into.
    static std::optional<double> fitToWidthZoom(int imageWidth, int imageHeight, int clientWidth,
                                                int clientHeight, int scrollBarWidth);
    static std::optional<double> fitZoom(int imageWidth, int imageHeight, int clientWidth,
                                         int clientHeight);
    // Leave the zoom alone when nothing can be fitted.
    void fitToWidth();
    void fit();
};

// A hidden view that only holds an image and its record.
struct WorkView {
    Image image;
    TIOParamsVals record = TIOParamsVals::forView();
};

// The red line that marks where a dragged page would land, in strip client
// coordinates.
struct DropMarker {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    Rgb colour{255, 0, 0};
    int penWidth = 2;
    friend bool operator==(const DropMarker&, const DropMarker&) = default;
};

struct DragOverResult {
    bool accept = false;
    std::optional<DropMarker> marker;  // repaint the strip, then draw this
};

// Shift-state bits of mouse events.
namespace shift {
inline constexpr unsigned kShift = 1, kAlt = 2, kCtrl = 4, kLeft = 8, kRight = 16, kMiddle = 32,
                          kDouble = 64;
}
inline constexpr int kDeleteKey = 46;

class EditTools;
class Stamper;
class TextRenderer;
namespace net {
class UrlFetcher;
}
class TempFolder;
struct DecodedImage;

class TmyOrvixCamFrame {
public:
    TmyOrvixCamFrame(Shell& shell, MessagePump& pump);
    ~TmyOrvixCamFrame();
    TmyOrvixCamFrame(const TmyOrvixCamFrame&) = delete;
    TmyOrvixCamFrame& operator=(const TmyOrvixCamFrame&) = delete;

    PageStrip ImageEnMView1;
    MainView Img1;
    WorkView img2;
    WorkView img_watermark;
    std::string lblPicNumbers;
    // The size of the last chosen camera format; 0 x 0 until one is chosen.
    int selectedWidth = 0;
    int selectedHeight = 0;
    // Runs first on every show page; the capture code stops the preview here.
    std::function<void()> beforeShowPage;

    // Show page: copies page `index` into the main view, fitted to its width.
    void ImageEnMView1ImageSelect(int index);
    // Delete key on the strip: asks, then deletes the selected page.
    void ImageEnMView1KeyUp(int& key, unsigned shiftState);
    void N2Click();
    void btn13Click();
    void N3Click();
    void N4Click();

    void ImageEnMView1MouseMove(unsigned shiftState, int x, int y);
    DragOverResult ImageEnMView1DragOver(bool sourceIsStrip, int x, int y);
    void ImageEnMView1DragDrop(int x, int y);
    void ImageEnMView1EndDrag();

    bool openMultiPictureWithDialog();
    // False when the file could not be read; nothing is added then.
    bool openImageFile(const std::string& fileName);
    void clearAll();
    int getImageCount() const;
    // Throws ListIndexError for a negative id.
    bool deleteAt(int id);
    void updateCountLabel();
    void setExportParams();

    // Documents as Base64 text for the page script; "" when there are no pages.
    std::string allImageAsTIFFData();
    std::string allImageAsPdfData();
    // Page `id` stretched to the capture size, as JPEG; "" on any failure.
    std::string getJpegDataById(int id);

    // All pages to a file the user chooses, by its extension. False when
    // there are no pages, the dialog is cancelled, or the extension names no
    // multi-page format this control writes (nothing is written then).
    // Writer failures propagate.
    bool saveAllWithDialog();
    // The main view's image to a file the user chooses, by its extension.
    void btn12Click();

    // Uploads of the pages in one multipart form post: all pages as one TIFF or
    // one PDF, or each page as its own JPEG. Texts are in the control's code
    // page. A failed post gives false / "" (or the part of a 2xx body that
    // arrived); an error while writing a document propagates. The documents
    // are removed from the temporary folder whatever happens.
    bool uploadToServer(const std::string& url, const std::string& id, const std::string& desc);
    std::string uploadToServerWithCustResult(const std::string& url, const std::string& id,
                                             const std::string& desc);
    std::string uploadPdfToServer(const std::string& url, const std::string& id, const std::string& desc);
    std::string uploadAllasEachJpgToUrl(const std::string& url, const std::string& id,
                                        const std::string& desc, int jpgQuality);
    // Where uploads write their documents: the system's folder unless set.
    void setTempFolder(std::unique_ptr<TempFolder> folder);

    // Replace the strip by the pages of the document at `url` and show the
    // first; true unless an error was raised (no pages is no error).
    bool loadImageFromUrl(const std::string& url);
    // The picture at `url` into img_watermark, then the watermark-loaded
    // step, whatever the fetch brought; true unless an error was raised.
    bool loadWaterMarkPicFromUrl(const std::string& url);
    // Where url loads fetch from: the system's internet library unless set.
    void setUrlFetcher(std::unique_ptr<net::UrlFetcher> fetcher);

    // The editing tools of the button bar and the stamping of watermark and text.
    EditTools& edit() { return *edit_; }
    Stamper& stamp() { return *stamp_; }

private:
    void notice(const char* text);
    // What an opened or fetched file says about itself, into a page record.
    static void describe(TIOParamsVals& record, const DecodedImage& decoded);
    net::UrlFetcher& urlFetcher();
    std::unique_ptr<net::UrlFetcher> urlFetcher_;
    struct UploadReply {
        bool success = false;
        std::string text;
    };
    UploadReply uploadDocument(const std::string& url, const std::string& id, const std::string& desc,
                               bool pdf);
    TempFolder& tempFolder();

    std::unique_ptr<TempFolder> tempFolder_;

    std::unique_ptr<TextRenderer> textRenderer_;
    std::unique_ptr<EditTools> edit_;
    std::unique_ptr<Stamper> stamp_;

    Shell& shell_;
    MessagePump& pump_;
};

}  // namespace orvix
