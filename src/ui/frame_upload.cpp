// The frame's uploads: documents written to the temporary folder, sent in one
// multipart form post, removed again.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "encoding/byte_sink.h"
#include "encoding/jpeg_encoder.h"
#include "encoding/pdf/pdf_writer.h"
#include "encoding/temp_folder.h"
#include "encoding/temp_names.h"
#include "encoding/tiff/tiff_writer.h"
#include "net/form_boundary.h"
#include "net/http_post.h"
#include "net/multipart_form.h"
#include "ui/frame.h"

namespace orvix {
namespace {

// The files one upload made. Each document's name was derived from a ".TMP"
// placeholder the platform created; both go, or every upload would leave a
// file behind and the folder's 65535 names would run out.
class TempFileList {
public:
    TempFileList() = default;
    TempFileList(const TempFileList&) = delete;
    TempFileList& operator=(const TempFileList&) = delete;
    ~TempFileList() {
        // Failures to delete are ignored: nothing useful can be done about them.
        for (const std::string& path : paths_) std::remove(path.c_str());
    }
    void add(const std::string& document) {
        paths_.push_back(document);
        paths_.push_back(replaceExtension(document, ".TMP"));
    }

private:
    std::vector<std::string> paths_;
};

// What the script sees of a post: a failed exchange is no error to the script.
struct Posted {
    bool success = false;
    std::string reply;
};

Posted post(const std::string& url, net::MultipartForm& form) {
    try {
        net::PostResult result = net::httpPost(url, form.contentType(), form);
        return {result.success, std::move(result.replyText)};
    } catch (const std::exception&) {
        return {};
    }
}

}  // namespace

void TmyOrvixCamFrame::setTempFolder(std::unique_ptr<TempFolder> folder) { tempFolder_ = std::move(folder); }

TempFolder& TmyOrvixCamFrame::tempFolder() {
    if (!tempFolder_) tempFolder_ = systemTempFolder();
    return *tempFolder_;
}

TmyOrvixCamFrame::UploadReply TmyOrvixCamFrame::uploadDocument(const std::string& url, const std::string& id,
                                                               const std::string& desc, bool pdf) {
    PageStrip& strip = ImageEnMView1;
    if (strip.count() == 0) return {};
    setExportParams();
    // Declared first so that it is destroyed last, after the form has closed its files.
    TempFileList files;
    auto form = std::make_unique<net::MultipartForm>(net::formatBoundary(net::localTimeNow()));
    form->addField("id", id);
    form->addField("desc", desc);
    form->addField("imageCount", std::to_string(strip.count()));

    const std::string name = makeTempFileName(tempFolder(), pdf ? ".pdf" : ".tiff");
    files.add(name);
    {
        FileSink file(name);
        if (pdf) {
            writePdf(strip, file);
        } else {
            for (int i = 0; i < strip.count(); ++i) strip.record(i).tiffImageIndex = i;
            writeTiff(strip, file);
        }
        file.close();
    }
    form->addFile("image", name, pdf ? ".pdf" : ".tiff");

    Posted posted = post(url, *form);
    form.reset();
    pump_.pumpPending();
    pump_.pumpPending();
    return {posted.success, std::move(posted.reply)};
}

bool TmyOrvixCamFrame::uploadToServer(const std::string& url, const std::string& id, const std::string& desc) {
    return uploadDocument(url, id, desc, false).success;
}

std::string TmyOrvixCamFrame::uploadToServerWithCustResult(const std::string& url, const std::string& id,
                                                           const std::string& desc) {
    return uploadDocument(url, id, desc, false).text;
}

std::string TmyOrvixCamFrame::uploadPdfToServer(const std::string& url, const std::string& id,
                                                const std::string& desc) {
    return uploadDocument(url, id, desc, true).text;
}

std::string TmyOrvixCamFrame::uploadAllasEachJpgToUrl(const std::string& url, const std::string& id,
                                                      const std::string& desc, int jpgQuality) {
    PageStrip& strip = ImageEnMView1;
    if (strip.count() == 0) return {};
    TempFileList files;
    auto form = std::make_unique<net::MultipartForm>(net::formatBoundary(net::localTimeNow()));
    form->addField("imageCount", std::to_string(strip.count()));
    form->addField("id", id);
    form->addField("desc", desc);
    setExportParams();
    // Showing a page runs pending messages, which may change the strip: read
    // the count afresh each time.
    for (int i = 0; i < strip.count(); ++i) {
        const std::string name = makePageTempFileName(tempFolder(), i, ".jpg");
        files.add(name);
        strip.select(i);
        ImageEnMView1ImageSelect(i);
        Img1.record.jpegQuality = jpgQuality;
        {
            FileSink file(name);
            encodeJpeg(Img1.image, Img1.record, file);
            file.close();
        }
        form->addFile("image", name, "image/jpeg");
    }
    Posted posted = post(url, *form);
    return posted.reply;
}

}  // namespace orvix
