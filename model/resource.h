// CResource: a resource of the pool. Besides its ID and name it knows every
// assignment that holds it, so deleting it from the pool visits only the
// tasks it is assigned to.
#pragma once

#include <vector>

#include "automation/com_object.h"
#include "model/model_interfaces.h"

namespace qmx {

class CResources;
class CTaskResource;

class CResource final : public ComObject<IResource> {
public:
    CResource(CResources* pool, LONG id);

    // The resource behind an IResource of this model, or null.
    static CResource* From(IUnknown* object);

    // IResource
    HRESULT get_ID(LONG* pResourceID) override;
    HRESULT get_Name(BSTR* pbsName) override;
    HRESULT put_Name(const BSTR& bsName) override;
    HRESULT get_Resources(IResources** ppResources) override;

    LONG ID() const { return id_; }
    void SetID(LONG id) { id_ = id; }
    CResources* Pool() const { return pool_; }
    void SetPool(CResources* pool) { pool_ = pool; }
    // Set when the resource starts being deleted; it can then no longer be
    // assigned.
    bool IsDeleting() const { return deleting_; }
    void MarkDeleting() { deleting_ = true; }

    // The assignments holding this resource, in no particular order.
    const std::vector<CTaskResource*>& Assignments() const { return assignments_; }
    void AddAssignment(CTaskResource* assignment);
    void RemoveAssignment(CTaskResource* assignment);

private:
    HRESULT QueryOtherInterface(REFIID riid, void** ppv) override;

    LONG id_;
    BSTR name_;
    CResources* pool_;  // null once the resource left the pool
    bool deleting_ = false;
    std::vector<CTaskResource*> assignments_;
};

}  // namespace qmx
