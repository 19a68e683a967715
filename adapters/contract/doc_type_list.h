// A fixed list of document types answering IAdapterDocTypes, for adapters
// whose types are known when they are built.
#pragma once

#include <span>
#include <string_view>

#include "adapters/contract/adapter_doc_types.h"
#include "automation/bstr.h"
#include "automation/com_object.h"

namespace qmx {

struct DocType {
    std::string_view name;       // "QMXG document"
    std::string_view filter;     // "QMXG document (*.qmxg)"
    std::string_view extension;  // "qmxg"
};

// The list refers to the table it is given, which must outlive it (a
// constant of the adapter, normally).
class CDocTypeList : public ComObject<IAdapterDocTypes> {
public:
    explicit CDocTypeList(std::span<const DocType> types) : types_(types) {}

    HRESULT get_Count(LONG* pnCount) override
    {
        if (!pnCount) return E_INVALIDARG;
        *pnCount = static_cast<LONG>(types_.size());
        return S_OK;
    }
    HRESULT get_DocTypeNames(LONG iIndex, BSTR* pbsName) override { return Answer(iIndex, &DocType::name, pbsName); }
    HRESULT get_FilterNames(LONG iIndex, BSTR* pbsFilter) override
    {
        return Answer(iIndex, &DocType::filter, pbsFilter);
    }
    HRESULT get_Extensions(LONG iIndex, BSTR* pbsExtension) override
    {
        return Answer(iIndex, &DocType::extension, pbsExtension);
    }

private:
    HRESULT Answer(LONG iIndex, std::string_view DocType::*field, BSTR* out) const
    {
        if (!out || iIndex < 0 || static_cast<std::size_t>(iIndex) >= types_.size()) return E_INVALIDARG;
        *out = Utf8ToBstr(types_[static_cast<std::size_t>(iIndex)].*field);
        return S_OK;
    }

    std::span<const DocType> types_;
};

}  // namespace qmx
