// CResources: the resource pool, a sorted array of (resource ID, resource)
// searched by binary search, holding one reference on each resource.
#pragma once

#include "automation/com_object.h"
#include "model/model_interfaces.h"
#include "model/model_sinks.h"
#include "model/offset_vector.h"

namespace qmx {

class CResource;
class CTaskTree;

class CResources final : public ComObject<IResources> {
public:
    CResources();

    // IResources
    HRESULT get_Count(LONG* pnCount) override;
    HRESULT get_Resources(LONG iIndex, IResource** ppResource) override;
    HRESULT ResourceIDExists(LONG ResourceID, VARIANT_BOOL* pvbExists) override;
    HRESULT Add(const BSTR& bsName, IResource** ppResource) override;
    HRESULT AddWithID(LONG ResourceID, const BSTR& bsName, IResource** ppResource) override;
    HRESULT Delete(LONG ResourceID) override;
    HRESULT GetResourceByID(LONG ResourceID, IResource** ppResource) override;
    HRESULT DeleteAllResources() override;

    // The owner wires the pool to its tree and its sink (null: nobody
    // listens) before first use.
    void Attach(CTaskTree* tree, IResourceSink* sink);
    // The owner's end: every resource leaves the pool silently.
    void Shutdown();
    IResourceSink& Sink() const { return *sink_; }

private:
    struct Entry {
        LONG id;
        ComPtr<CResource> resource;
    };

    ~CResources() override;

    std::size_t LowerBound(LONG id) const;
    CResource* Find(LONG id) const;
    // Removes the resource's assignments from the tasks of the tree, then
    // the resource from the pool (ID -1); the caller has flagged it.
    HRESULT RemoveResource(CResource* resource);

    OffsetVector<Entry> entries_;
    CTaskTree* tree_ = nullptr;
    IResourceSink* sink_;
};

}  // namespace qmx
