#include "control/win32/error_info.h"

#include <oleauto.h>

#include "control/win32/bstr.h"
#include "control/win32/com_ptr.h"
#include "control/win32/orvixcam_ids.h"

namespace orvix::com {

HRESULT reportError(const CodePage& codePage, const std::string& message, HRESULT code) {
    ComPtr<ICreateErrorInfo> create;
    if (FAILED(CreateErrorInfo(create.put()))) return E_UNEXPECTED;
    create->SetGUID(IID_IOrvix);
    create->SetSource(const_cast<LPOLESTR>(kProgIdW));
    std::u16string description = codePage.toUtf16(message);
    description.push_back(u'\0');
    create->SetDescription(reinterpret_cast<LPOLESTR>(description.data()));
    create->SetHelpContext(0);
    ComPtr<IErrorInfo> info = create.as<IErrorInfo>(IID_IErrorInfo);
    SetErrorInfo(0, info.get());
    return code;
}

}  // namespace orvix::com
