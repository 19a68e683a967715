// CTaskResource: one assignment of a resource to a task, with its load in
// percent. It holds a reference on its resource until it is removed.
#pragma once

#include <cstddef>

#include "automation/com_object.h"
#include "model/model_interfaces.h"

namespace qmx {

class CResource;
class CTaskResources;

class CTaskResource final : public ComObject<ITaskResource> {
public:
    CTaskResource(CTaskResources* list, CResource* resource);

    // ITaskResource
    HRESULT get_Resource(IResource** ppResource) override;
    HRESULT get_Units(LONG* pnUnits) override;
    HRESULT put_Units(LONG nUnits) override;
    HRESULT get_TaskResources(ITaskResources** ppTaskResources) override;

    CTaskResources* List() const { return list_; }
    CResource* Resource() const { return resource_.Get(); }
    // The assignment left its list: it releases its resource and forgets
    // the list.
    void Detach();

    // Place in the resource's list of assignments (see CResource).
    std::size_t placeInResource = 0;

private:
    ~CTaskResource() override;

    CTaskResources* list_;
    ComPtr<CResource> resource_;
    LONG units_ = 100;
};

}  // namespace qmx
