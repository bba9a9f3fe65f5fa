#include "addin/HostCallGuard.h"

#include <oleauto.h>

#include "com/Bstr.h"

HRESULT ReportComError(const ComError& error, REFIID iid)
{
    try {
        ICreateErrorInfo* create = nullptr;
        if (SUCCEEDED(CreateErrorInfo(&create))) {
            CString text;
            text.Format("Pelorin for Solid Edge: %s failed with %s", error.Operation().GetString(),
                        DescribeHResult(error.Result()).GetString());
            Bstr description(text);
            Bstr source("Pelorin for Solid Edge");
            create->SetGUID(iid);
            create->SetDescription(description.Get());
            create->SetSource(source.Get());
            IErrorInfo* info = nullptr;
            if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)))) {
                SetErrorInfo(0, info);
                info->Release();
            }
            create->Release();
        }
    } catch (...) {
        // The HRESULT still reaches the host without its description.
    }
    return error.Result();
}
