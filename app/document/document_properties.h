// The document's name and description, embedded in the application object:
// plain string storage, and the name is also the chart control's title.
#pragma once

#include "adapters/contract/document_data.h"
#include "automation/com_object.h"

namespace qmx {

struct DocumentState;

class DocumentProperties final : public EmbeddedObject<IDocumentProperties> {
public:
    DocumentProperties(IUnknown* owner, DocumentState& state) : EmbeddedObject(owner), state_(state) {}

    HRESULT get_Name(BSTR* pbsName) override;
    // Also sets the chart control's Title, an unchanged name too.
    HRESULT put_Name(const BSTR& bsName) override;
    HRESULT get_Description(BSTR* pbsDescription) override;
    HRESULT put_Description(const BSTR& bsDescription) override;

private:
    DocumentState& state_;
    BSTR name_;
    BSTR description_;
};

}  // namespace qmx
