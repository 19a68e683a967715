// CEnumTaskIDs: an enumerator over a snapshot of task IDs. Clones share the
// snapshot, which never changes.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "automation/com_object.h"
#include "model/model_interfaces.h"

namespace qmx {

class CEnumTaskIDs final : public ComObject<IEnumTaskIDs> {
public:
    explicit CEnumTaskIDs(std::shared_ptr<const std::vector<LONG>> ids, std::size_t position = 0)
        : ids_(std::move(ids)), position_(position)
    {
    }

    HRESULT Next(LONG* pTaskID) override;
    HRESULT Skip(LONG nCount) override;
    HRESULT Reset() override;
    HRESULT Clone(IEnumTaskIDs** ppEnum) override;

private:
    std::shared_ptr<const std::vector<LONG>> ids_;
    std::size_t position_;
};

}  // namespace qmx
