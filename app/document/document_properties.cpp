#include "app/document/document_properties.h"

#include "app/document/document_state.h"

namespace qmx {

HRESULT DocumentProperties::get_Name(BSTR* pbsName)
{
    if (!pbsName) return E_POINTER;
    *pbsName = name_;
    return S_OK;
}

HRESULT DocumentProperties::put_Name(const BSTR& bsName)
{
    name_ = bsName;
    if (state_.control) state_.control->put_Title(name_);
    return S_OK;
}

HRESULT DocumentProperties::get_Description(BSTR* pbsDescription)
{
    if (!pbsDescription) return E_POINTER;
    *pbsDescription = description_;
    return S_OK;
}

HRESULT DocumentProperties::put_Description(const BSTR& bsDescription)
{
    description_ = bsDescription;
    return S_OK;
}

}  // namespace qmx
