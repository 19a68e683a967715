// The document types an adapter handles, as its GetDocTypes hands them out.
#pragma once

#include "automation/unknown.h"

// Indexes run from 0 to Count - 1; any other index, or a missing
// out-pointer, answers E_INVALIDARG. The index of a type is what the
// application passes back to the adapter as iDocTypeIndex.
struct IAdapterDocTypes : IUnknown {
    QMX_INTERFACE_ID("{CBC854EC-E64C-4408-B179-FBEFB5FB02A2}");

    virtual HRESULT get_Count(LONG* pnCount) = 0;
    // The plain type name: "QMXG document".
    virtual HRESULT get_DocTypeNames(LONG iIndex, BSTR* pbsName) = 0;
    // The file dialogs' label with its wildcard: "QMXG document (*.qmxg)".
    virtual HRESULT get_FilterNames(LONG iIndex, BSTR* pbsFilter) = 0;
    // The extension without a dot: "qmxg".
    virtual HRESULT get_Extensions(LONG iIndex, BSTR* pbsExtension) = 0;
};
