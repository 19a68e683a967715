// The application's callback interface for adapters whose document can be
// closed or renamed outside the application. Adapters query it on the
// IDocumentData they were connected to.
#pragma once

#include "automation/unknown.h"

struct IAdapterSite : IUnknown {
    QMX_INTERFACE_ID("{59B60261-F399-4C63-AA9F-BED2323E64DA}");

    // The document was closed outside; the adapter has already emptied the
    // model and is no longer current afterwards.
    virtual HRESULT DocumentClosed() = 0;
    // The document's name may have changed; the application reads FileName.
    virtual HRESULT DocumentNameChanged() = 0;
};
