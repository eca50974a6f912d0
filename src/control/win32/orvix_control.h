#pragma once
// The control's COM object: IOrvix (dual) and the COM machinery around it. It holds no
// logic of its own: each member converts its arguments, runs one frame operation and
// converts the result.
#include <windows.h>
#include <objsafe.h>
#include <ocidl.h>

#include <memory>

#include "control/code_page.h"
#include "control/win32/connection_point.h"
#include "control/win32/form_properties.h"
#include "orvixcam.h"

namespace orvix {
class TmyOrvixCamFrame;
class CaptureController;
class Shell;
class MessagePump;
}  // namespace orvix

namespace orvix::com {

class OrvixControl final : public IOrvix,
                           public IProvideClassInfo2,
                           public ISupportErrorInfo,
                           public IConnectionPointContainer,
                           public IObjectSafety {
public:
    // The class factory's CreateInstance.
    static HRESULT create(REFIID iid, void** out);

    OrvixControl();
    ~OrvixControl();
    OrvixControl(const OrvixControl&) = delete;
    OrvixControl& operator=(const OrvixControl&) = delete;

    // Events of the form, fired to the connected sink; whatever the sink does is ignored.
    void fireEvent(DISPID event);
    // Returns the character the form goes on with (0 suppresses it).
    char fireKeyPress(char key);

    TmyOrvixCamFrame& frame() { return *frame_; }
    CaptureController& capture() { return *capture_; }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    // IDispatch
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** out) override;
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* exception, UINT* argError) override;
    // IProvideClassInfo2
    STDMETHODIMP GetClassInfo(ITypeInfo** out) override;
    STDMETHODIMP GetGUID(DWORD kind, GUID* out) override;
    // ISupportErrorInfo
    STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override;
    // IConnectionPointContainer
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** out) override;
    STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** out) override;
    // IObjectSafety
    STDMETHODIMP GetInterfaceSafetyOptions(REFIID iid, DWORD* supported, DWORD* enabled) override;
    STDMETHODIMP SetInterfaceSafetyOptions(REFIID iid, DWORD mask, DWORD enabled) override;

    // IOrvix
    STDMETHODIMP get_Visible(VARIANT_BOOL *Value) override;
    STDMETHODIMP put_Visible(VARIANT_BOOL Value) override;
    STDMETHODIMP get_AutoScroll(VARIANT_BOOL *Value) override;
    STDMETHODIMP put_AutoScroll(VARIANT_BOOL Value) override;
    STDMETHODIMP get_AutoSize(VARIANT_BOOL *Value) override;
    STDMETHODIMP put_AutoSize(VARIANT_BOOL Value) override;
    STDMETHODIMP get_AxBorderStyle(TxActiveFormBorderStyle *Value) override;
    STDMETHODIMP put_AxBorderStyle(TxActiveFormBorderStyle Value) override;
    STDMETHODIMP get_Caption(BSTR *Value) override;
    STDMETHODIMP put_Caption(BSTR Value) override;
    STDMETHODIMP get_Color(OLE_COLOR *Value) override;
    STDMETHODIMP put_Color(OLE_COLOR Value) override;
    STDMETHODIMP get_Font(IFontDisp **Value) override;
    STDMETHODIMP put_Font(IFontDisp *Value) override;
    STDMETHODIMP putref_Font(IFontDisp **Value) override;
    STDMETHODIMP get_KeyPreview(VARIANT_BOOL *Value) override;
    STDMETHODIMP put_KeyPreview(VARIANT_BOOL Value) override;
    STDMETHODIMP get_PixelsPerInch(LONG *Value) override;
    STDMETHODIMP put_PixelsPerInch(LONG Value) override;
    STDMETHODIMP get_PrintScale(TxPrintScale *Value) override;
    STDMETHODIMP put_PrintScale(TxPrintScale Value) override;
    STDMETHODIMP get_Scaled(VARIANT_BOOL *Value) override;
    STDMETHODIMP put_Scaled(VARIANT_BOOL Value) override;
    STDMETHODIMP get_Active(VARIANT_BOOL *Value) override;
    STDMETHODIMP get_DropTarget(VARIANT_BOOL *Value) override;
    STDMETHODIMP put_DropTarget(VARIANT_BOOL Value) override;
    STDMETHODIMP get_HelpFile(BSTR *Value) override;
    STDMETHODIMP put_HelpFile(BSTR Value) override;
    STDMETHODIMP get_ScreenSnap(VARIANT_BOOL *Value) override;
    STDMETHODIMP put_ScreenSnap(VARIANT_BOOL Value) override;
    STDMETHODIMP get_SnapBuffer(LONG *Value) override;
    STDMETHODIMP put_SnapBuffer(LONG Value) override;
    STDMETHODIMP get_DoubleBuffered(VARIANT_BOOL *Value) override;
    STDMETHODIMP put_DoubleBuffered(VARIANT_BOOL Value) override;
    STDMETHODIMP get_AlignDisabled(VARIANT_BOOL *Value) override;
    STDMETHODIMP get_VisibleDockClientCount(LONG *Value) override;
    STDMETHODIMP get_Enabled(VARIANT_BOOL *Value) override;
    STDMETHODIMP put_Enabled(VARIANT_BOOL Value) override;
    STDMETHODIMP AboutBox() override;
    STDMETHODIMP get_camCount(LONG *Value) override;
    STDMETHODIMP put_camCount(LONG Value) override;
    STDMETHODIMP getCamName(LONG idx, VARIANT *Value) override;
    STDMETHODIMP getCurrentCamSupportFormatCount(VARIANT *Value) override;
    STDMETHODIMP getCurrentCamSupportFormatName(LONG idx, VARIANT *Value) override;
    STDMETHODIMP setCurrentCamIndex(LONG idx, VARIANT *Value) override;
    STDMETHODIMP setCurrentCamFormat(LONG idx, VARIANT *Value) override;
    STDMETHODIMP startCam(VARIANT *Value) override;
    STDMETHODIMP stopCam(VARIANT *Value) override;
    STDMETHODIMP capCurrentPicture(VARIANT *Value) override;
    STDMETHODIMP saveAllWithDialog(VARIANT *Value) override;
    STDMETHODIMP openMultiPictureWithDialog(VARIANT *Value) override;
    STDMETHODIMP uploadToServer(BSTR url, BSTR id, BSTR desc, VARIANT *Value) override;
    STDMETHODIMP loadImageFromUrl(BSTR url, VARIANT *Value) override;
    STDMETHODIMP allImageAsTIFFData(VARIANT *Value) override;
    STDMETHODIMP getImageCount(VARIANT *Value) override;
    STDMETHODIMP deleteAt(LONG id, VARIANT *Value) override;
    STDMETHODIMP getCurrentFrame(VARIANT *Value) override;
    STDMETHODIMP getJpegDataById(LONG id, VARIANT *Value) override;
    STDMETHODIMP clearAll() override;
    STDMETHODIMP loadWaterMarkPicFromUrl(BSTR url, VARIANT *Value) override;
    STDMETHODIMP drawWaterMark(LONG x, LONG y, LONG width, LONG height, VARIANT *Value) override;
    STDMETHODIMP drawText(LONG x, LONG y, BSTR text, LONG fontsize, LONG font_r, LONG font_g, LONG font_b) override;
    STDMETHODIMP drawTextTo(LONG x, LONG y, BSTR text, BSTR fontname, LONG fontsize, LONG r, LONG g, LONG b, LONG alpha) override;
    STDMETHODIMP uploadToServerWithCustResult(BSTR url, BSTR id, BSTR desc, VARIANT *Value) override;
    STDMETHODIMP uploadPdfToServer(BSTR url, BSTR id, BSTR desc, VARIANT *Value) override;
    STDMETHODIMP rotateAll(double Value) override;
    STDMETHODIMP allImageAsPdfData(VARIANT *Value) override;
    STDMETHODIMP uploadAllasEachJpgToUrl(BSTR url, BSTR id, BSTR desc, LONG jpg_quality, VARIANT *Value) override;
    STDMETHODIMP hideEditPanels() override;
    STDMETHODIMP showEditPanels() override;
private:
    template <class F>
    HRESULT member(VARIANT* result, F&& operation);
    HRESULT notAvailable(const char* name);
    void sinkChanged(bool connected);
    bool answers(REFIID iid);

    LONG refs_ = 0;
    std::unique_ptr<CodePage> codePage_;
    std::unique_ptr<Shell> shell_;
    std::unique_ptr<MessagePump> pump_;
    std::unique_ptr<TmyOrvixCamFrame> frame_;
    std::unique_ptr<CaptureController> capture_;  // the camera; attached to frame_
    FormProperties form_;
    ConnectionPoint events_;
    ConnectionPoint propertyNotify_;
    LONG sinkChanges_ = 0;
    DWORD safety_ = 0;
};

}  // namespace orvix::com
