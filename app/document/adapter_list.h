// The adapters the application created at start, in the order the registry
// lists them, and the document-type lists built over them.
#pragma once

#include <optional>
#include <vector>

#include "adapters/contract/gantt_adapter.h"
#include "automation/com_ptr.h"

namespace qmx {

class RegistryStore;
class UserInterface;

// One document type of one adapter.
struct DocTypeChoice {
    ComPtr<IGanttAdapter> adapter;
    LONG index = 0;
    BSTR name;
};

class AdapterList {
public:
    // Creates every adapter listed under the Adapters key and connects it to
    // `data`. Message 131 and E_FAIL when the key is missing; an adapter
    // that cannot be created or connected is reported with message 132 and
    // left out. S_OK also when none is left.
    HRESULT Load(const RegistryStore& store, IDocumentData* data, UserInterface& ui);
    // Disconnect for each adapter in order, then all are released.
    void RemoveAll();

    const std::vector<ComPtr<IGanttAdapter>>& Adapters() const { return adapters_; }

    // "Filter|*.ext|" for every type of every adapter, then "|"; empty when
    // there is no type.
    BSTR OpenFilter() const;
    // Every type of every adapter but the pair (skipAdapter, skipIndex).
    std::vector<DocTypeChoice> Choices(IGanttAdapter* skipAdapter = nullptr, LONG skipIndex = -1) const;
    // The first type, in list and index order, whose extension equals
    // `extension` exactly.
    std::optional<DocTypeChoice> FindByExtension(const BSTR& extension) const;

    // The filter over one adapter's types and the extension of `docType`
    // (empty when it cannot be read).
    static BSTR SaveFilter(IGanttAdapter* adapter, LONG docType, BSTR* defaultExtension);

private:
    std::vector<ComPtr<IGanttAdapter>> adapters_;
};

}  // namespace qmx
