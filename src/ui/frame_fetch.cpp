// Loading pages and the watermark picture from a url.
#include <exception>
#include <utility>

#include "net/fetched_images.h"
#include "net/url_fetcher.h"
#include "ui/edit/edit_tools.h"
#include "ui/edit/stamper.h"
#include "ui/frame.h"

namespace orvix {

void TmyOrvixCamFrame::setUrlFetcher(std::unique_ptr<net::UrlFetcher> fetcher) { urlFetcher_ = std::move(fetcher); }

net::UrlFetcher& TmyOrvixCamFrame::urlFetcher() {
    if (!urlFetcher_) urlFetcher_ = net::makeSystemUrlFetcher();
    return *urlFetcher_;
}

bool TmyOrvixCamFrame::loadImageFromUrl(const std::string& url) {
    bool result = false;
    try {
        ImageEnMView1.clear();
        Img1.image.fill(kButtonFace);

        if (const auto fetched = urlFetcher().fetch(url)) {
            for (DecodedImage& decoded : net::fetchedPages(*fetched)) {
                const int index = ImageEnMView1.append();
                describe(ImageEnMView1.record(index), decoded);
                ImageEnMView1.setImage(index, decoded.image);
            }
        }
        result = true;

        if (ImageEnMView1.count() > 0) {
            ImageEnMView1.select(0);
            ImageEnMView1ImageSelect(0);
            // Fit the whole image once, then let the user's zoom stay.
            Img1.autoFit = true;
            Img1.fit();
            Img1.autoFit = false;
            edit_->setMouseMode(ViewMouseMode::Zoom);
        }
    } catch (const std::exception&) {
        // Pages loaded so far stay; the script learns only that it failed.
    }
    updateCountLabel();
    return result;
}

bool TmyOrvixCamFrame::loadWaterMarkPicFromUrl(const std::string& url) {
    try {
        if (const auto fetched = urlFetcher().fetch(url)) {
            if (auto picture = net::fetchedPicture(fetched->data)) {
                img_watermark.image = std::move(picture->image);
                describe(img_watermark.record, *picture);
            }
        }
        stamp_->watermarkLoaded();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace orvix
