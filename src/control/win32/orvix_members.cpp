// IOrvix members: argument and result conversion around one frame operation each.
#include <cstring>

#include "control/win32/bstr.h"
#include "control/win32/error_info.h"
#include "capture/capture_controller.h"
#include "control/win32/orvix_control.h"
#include "ui/edit/edit_tools.h"
#include "ui/edit/stamper.h"
#include "ui/frame.h"

namespace orvix::com {
namespace {

void setBool(VARIANT* v, bool b) {
    v->vt = VT_BOOL;
    v->boolVal = b ? VARIANT_TRUE : VARIANT_FALSE;
}
void setI4(VARIANT* v, long n) {
    v->vt = VT_I4;
    v->lVal = n;
}
void setText(VARIANT* v, const CodePage& cp, const std::string& text) {
    v->vt = VT_BSTR;
    v->bstrVal = toBstr(cp, text);
}
VARIANT_BOOL vb(bool b) { return b ? VARIANT_TRUE : VARIANT_FALSE; }

template <class T>
HRESULT read(T* out, const T& value) {
    if (!out) return E_POINTER;
    *out = value;
    return S_OK;
}

}  // namespace

template <class F>
HRESULT OrvixControl::member(VARIANT* result, F&& operation) {
    // The result reads as VT_EMPTY unless the operation sets it.
    if (result) std::memset(result, 0, sizeof *result);
    return guarded(*codePage_, [&] {
        if (!result) throw OleSysError(E_POINTER, "No result variable");
        operation(result);
    });
}

HRESULT OrvixControl::notAvailable(const char* name) {
    return guarded(*codePage_, [name] { throw NotAvailable(name); });
}

// ---- form properties: stored and returned

STDMETHODIMP OrvixControl::get_Visible(VARIANT_BOOL* v) { return read(v, vb(form_.visible)); }
STDMETHODIMP OrvixControl::put_Visible(VARIANT_BOOL v) { form_.visible = v != 0; return S_OK; }
STDMETHODIMP OrvixControl::get_AutoScroll(VARIANT_BOOL* v) { return read(v, vb(form_.autoScroll)); }
STDMETHODIMP OrvixControl::put_AutoScroll(VARIANT_BOOL v) { form_.autoScroll = v != 0; return S_OK; }
STDMETHODIMP OrvixControl::get_AutoSize(VARIANT_BOOL* v) { return read(v, vb(form_.autoSize)); }
STDMETHODIMP OrvixControl::put_AutoSize(VARIANT_BOOL v) { form_.autoSize = v != 0; return S_OK; }
STDMETHODIMP OrvixControl::get_AxBorderStyle(TxActiveFormBorderStyle* v) { return read(v, form_.axBorderStyle); }
STDMETHODIMP OrvixControl::put_AxBorderStyle(TxActiveFormBorderStyle v) { form_.axBorderStyle = v; return S_OK; }
STDMETHODIMP OrvixControl::get_Caption(BSTR* v) {
    if (!v) return E_POINTER;
    *v = nullptr;
    return guarded(*codePage_, [&] { *v = toBstr(*codePage_, form_.caption); });
}
STDMETHODIMP OrvixControl::put_Caption(BSTR v) {
    return guarded(*codePage_, [&] { form_.caption = fromBstr(*codePage_, v); });
}
STDMETHODIMP OrvixControl::get_Color(OLE_COLOR* v) { return read(v, form_.color); }
STDMETHODIMP OrvixControl::put_Color(OLE_COLOR v) { form_.color = v; return S_OK; }
STDMETHODIMP OrvixControl::get_Font(IFontDisp** v) {
    if (!v) return E_POINTER;
    *v = nullptr;
    return guarded(*codePage_, [&] {
        if (!form_.font) form_.font = makeDefaultFormFont();
        form_.font.copyTo(v);
    });
}
STDMETHODIMP OrvixControl::put_Font(IFontDisp* v) {
    if (v) form_.font = ComPtr<IFontDisp>(v);
    return S_OK;
}
STDMETHODIMP OrvixControl::putref_Font(IFontDisp** v) {
    if (!v) return E_POINTER;
    return put_Font(*v);
}
STDMETHODIMP OrvixControl::get_KeyPreview(VARIANT_BOOL* v) { return read(v, vb(form_.keyPreview)); }
STDMETHODIMP OrvixControl::put_KeyPreview(VARIANT_BOOL v) { form_.keyPreview = v != 0; return S_OK; }
STDMETHODIMP OrvixControl::get_PixelsPerInch(LONG* v) { return read(v, static_cast<LONG>(form_.pixelsPerInch)); }
STDMETHODIMP OrvixControl::put_PixelsPerInch(LONG v) { form_.pixelsPerInch = v; return S_OK; }
STDMETHODIMP OrvixControl::get_PrintScale(TxPrintScale* v) { return read(v, form_.printScale); }
STDMETHODIMP OrvixControl::put_PrintScale(TxPrintScale v) { form_.printScale = v; return S_OK; }
STDMETHODIMP OrvixControl::get_Scaled(VARIANT_BOOL* v) { return read(v, vb(form_.scaled)); }
STDMETHODIMP OrvixControl::put_Scaled(VARIANT_BOOL v) { form_.scaled = v != 0; return S_OK; }
STDMETHODIMP OrvixControl::get_Active(VARIANT_BOOL* v) { return read(v, vb(form_.active)); }
STDMETHODIMP OrvixControl::get_DropTarget(VARIANT_BOOL* v) { return read(v, vb(form_.dropTarget)); }
STDMETHODIMP OrvixControl::put_DropTarget(VARIANT_BOOL v) { form_.dropTarget = v != 0; return S_OK; }
STDMETHODIMP OrvixControl::get_HelpFile(BSTR* v) {
    if (!v) return E_POINTER;
    *v = nullptr;
    return guarded(*codePage_, [&] { *v = toBstr(*codePage_, form_.helpFile); });
}
STDMETHODIMP OrvixControl::put_HelpFile(BSTR v) {
    return guarded(*codePage_, [&] { form_.helpFile = fromBstr(*codePage_, v); });
}
STDMETHODIMP OrvixControl::get_ScreenSnap(VARIANT_BOOL* v) { return read(v, vb(form_.screenSnap)); }
STDMETHODIMP OrvixControl::put_ScreenSnap(VARIANT_BOOL v) { form_.screenSnap = v != 0; return S_OK; }
STDMETHODIMP OrvixControl::get_SnapBuffer(LONG* v) { return read(v, static_cast<LONG>(form_.snapBuffer)); }
STDMETHODIMP OrvixControl::put_SnapBuffer(LONG v) { form_.snapBuffer = v; return S_OK; }
STDMETHODIMP OrvixControl::get_DoubleBuffered(VARIANT_BOOL* v) { return read(v, vb(form_.doubleBuffered)); }
STDMETHODIMP OrvixControl::put_DoubleBuffered(VARIANT_BOOL v) { form_.doubleBuffered = v != 0; return S_OK; }
STDMETHODIMP OrvixControl::get_AlignDisabled(VARIANT_BOOL* v) { return read(v, vb(form_.alignDisabled)); }
STDMETHODIMP OrvixControl::get_VisibleDockClientCount(LONG* v) {
    return read(v, static_cast<LONG>(form_.visibleDockClientCount));
}
STDMETHODIMP OrvixControl::get_Enabled(VARIANT_BOOL* v) { return read(v, vb(form_.enabled)); }
STDMETHODIMP OrvixControl::put_Enabled(VARIANT_BOOL v) { form_.enabled = v != 0; return S_OK; }

// ---- the page strip

STDMETHODIMP OrvixControl::getImageCount(VARIANT* r) {
    return member(r, [&](VARIANT* v) { setI4(v, frame_->getImageCount()); });
}

STDMETHODIMP OrvixControl::deleteAt(LONG id, VARIANT* r) {
    return member(r, [&](VARIANT* v) {
        // False stays in the result when the strip refuses the index.
        setBool(v, false);
        setBool(v, frame_->deleteAt(id));
    });
}

STDMETHODIMP OrvixControl::clearAll() {
    return guarded(*codePage_, [&] { frame_->clearAll(); });
}

STDMETHODIMP OrvixControl::openMultiPictureWithDialog(VARIANT* r) {
    return member(r, [&](VARIANT* v) { setBool(v, frame_->openMultiPictureWithDialog()); });
}

// ---- documents as Base64 text

STDMETHODIMP OrvixControl::allImageAsTIFFData(VARIANT* r) {
    return member(r, [&](VARIANT* v) { setText(v, *codePage_, frame_->allImageAsTIFFData()); });
}

STDMETHODIMP OrvixControl::allImageAsPdfData(VARIANT* r) {
    return member(r, [&](VARIANT* v) { setText(v, *codePage_, frame_->allImageAsPdfData()); });
}

STDMETHODIMP OrvixControl::getJpegDataById(LONG id, VARIANT* r) {
    return member(r, [&](VARIANT* v) { setText(v, *codePage_, frame_->getJpegDataById(id)); });
}

// ---- editing and stamping

STDMETHODIMP OrvixControl::rotateAll(double value) {
    return guarded(*codePage_, [&] { frame_->edit().rotateAll(value); });
}

STDMETHODIMP OrvixControl::drawWaterMark(LONG x, LONG y, LONG width, LONG height, VARIANT* r) {
    return member(r, [&](VARIANT* v) { setBool(v, frame_->stamp().drawWaterMark(x, y, width, height)); });
}

STDMETHODIMP OrvixControl::drawText(LONG x, LONG y, BSTR text, LONG fontsize, LONG red, LONG green, LONG blue) {
    return guarded(*codePage_, [&] {
        frame_->stamp().drawText(x, y, fromBstr(*codePage_, text), fontsize, red, green, blue);
    });
}

STDMETHODIMP OrvixControl::drawTextTo(LONG x, LONG y, BSTR text, BSTR fontname, LONG fontsize, LONG red, LONG green,
                                      LONG blue, LONG alpha) {
    return guarded(*codePage_, [&] {
        frame_->stamp().drawTextTo(x, y, fromBstr(*codePage_, text), fromBstr(*codePage_, fontname), fontsize, red,
                                   green, blue, alpha);
    });
}

// ---- uploads: url, id and desc go out as bytes of the control's code page

STDMETHODIMP OrvixControl::uploadToServer(BSTR url, BSTR id, BSTR desc, VARIANT* r) {
    return member(r, [&](VARIANT* v) {
        const CodePage& cp = *codePage_;
        setBool(v, frame_->uploadToServer(fromBstr(cp, url), fromBstr(cp, id), fromBstr(cp, desc)));
    });
}
STDMETHODIMP OrvixControl::uploadToServerWithCustResult(BSTR url, BSTR id, BSTR desc, VARIANT* r) {
    return member(r, [&](VARIANT* v) {
        const CodePage& cp = *codePage_;
        setText(v, cp, frame_->uploadToServerWithCustResult(fromBstr(cp, url), fromBstr(cp, id), fromBstr(cp, desc)));
    });
}
STDMETHODIMP OrvixControl::uploadPdfToServer(BSTR url, BSTR id, BSTR desc, VARIANT* r) {
    return member(r, [&](VARIANT* v) {
        const CodePage& cp = *codePage_;
        setText(v, cp, frame_->uploadPdfToServer(fromBstr(cp, url), fromBstr(cp, id), fromBstr(cp, desc)));
    });
}
STDMETHODIMP OrvixControl::uploadAllasEachJpgToUrl(BSTR url, BSTR id, BSTR desc, LONG quality, VARIANT* r) {
    return member(r, [&](VARIANT* v) {
        const CodePage& cp = *codePage_;
        setText(v, cp,
                frame_->uploadAllasEachJpgToUrl(fromBstr(cp, url), fromBstr(cp, id), fromBstr(cp, desc), quality));
    });
}

// ---- cameras: the value put is ignored by design

STDMETHODIMP OrvixControl::put_camCount(LONG) { return S_OK; }
STDMETHODIMP OrvixControl::get_camCount(LONG* v) {
    if (!v) return E_POINTER;
    *v = capture_->camCount();
    return S_OK;
}
STDMETHODIMP OrvixControl::getCamName(LONG idx, VARIANT* r) {
    return member(r, [&](VARIANT* v) { setText(v, *codePage_, capture_->getCamName(idx)); });
}
STDMETHODIMP OrvixControl::getCurrentCamSupportFormatCount(VARIANT* r) {
    return member(r, [&](VARIANT* v) { setI4(v, capture_->getCurrentCamSupportFormatCount()); });
}
STDMETHODIMP OrvixControl::getCurrentCamSupportFormatName(LONG idx, VARIANT* r) {
    return member(r, [&](VARIANT* v) { setText(v, *codePage_, capture_->getCurrentCamSupportFormatName(idx)); });
}
STDMETHODIMP OrvixControl::setCurrentCamIndex(LONG idx, VARIANT* r) {
    return member(r, [&](VARIANT* v) { setBool(v, capture_->setCurrentCamIndex(idx)); });
}
STDMETHODIMP OrvixControl::setCurrentCamFormat(LONG idx, VARIANT* r) {
    return member(r, [&](VARIANT* v) { setBool(v, capture_->setCurrentCamFormat(idx)); });
}
STDMETHODIMP OrvixControl::startCam(VARIANT* r) {
    return member(r, [&](VARIANT* v) { setBool(v, capture_->startCam()); });
}
STDMETHODIMP OrvixControl::stopCam(VARIANT* r) {
    return member(r, [&](VARIANT* v) { setBool(v, capture_->stopCam()); });
}
STDMETHODIMP OrvixControl::capCurrentPicture(VARIANT* r) {
    return member(r, [&](VARIANT* v) { setBool(v, capture_->capCurrentPicture()); });
}
STDMETHODIMP OrvixControl::getCurrentFrame(VARIANT* r) {
    return member(r, [&](VARIANT* v) { setText(v, *codePage_, capture_->getCurrentFrame()); });
}

// ---- members whose behaviour comes later

STDMETHODIMP OrvixControl::AboutBox() { return notAvailable("AboutBox"); }
STDMETHODIMP OrvixControl::saveAllWithDialog(VARIANT* r) {
    return member(r, [&](VARIANT* v) { setBool(v, frame_->saveAllWithDialog()); });
}
STDMETHODIMP OrvixControl::loadImageFromUrl(BSTR url, VARIANT* r) {
    return member(r, [&](VARIANT* v) { setBool(v, frame_->loadImageFromUrl(fromBstr(*codePage_, url))); });
}


STDMETHODIMP OrvixControl::loadWaterMarkPicFromUrl(BSTR url, VARIANT* r) {
    return member(r, [&](VARIANT* v) { setBool(v, frame_->loadWaterMarkPicFromUrl(fromBstr(*codePage_, url))); });
}





STDMETHODIMP OrvixControl::hideEditPanels() { return notAvailable("hideEditPanels"); }
STDMETHODIMP OrvixControl::showEditPanels() { return notAvailable("showEditPanels"); }

}  // namespace orvix::com
