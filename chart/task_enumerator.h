// IEnumTasks: a snapshot of task references taken when the enumerator is
// made. Clones share the snapshot and keep their own position.
#pragma once

#include <memory>
#include <vector>

#include "automation/com_object.h"
#include "chart/chart_control_interfaces.h"

namespace qmx {

class TaskEnumerator final : public ComObject<IEnumTasks> {
public:
    using Snapshot = std::shared_ptr<const std::vector<ComPtr<ITask>>>;

    TaskEnumerator(Snapshot tasks, std::size_t position);

    // A new enumerator over the tasks, in their order; E_FAIL (and no
    // enumerator) when memory runs out while building it.
    static HRESULT Create(std::vector<ComPtr<ITask>> tasks, IEnumTasks** ppEnum);

    HRESULT GetCount(LONG* pnCount) override;
    HRESULT End(VARIANT_BOOL* pvbEnd) override;
    HRESULT Next(ITask** ppTask) override;
    HRESULT Skip(LONG nCount) override;
    HRESULT Reset() override;
    HRESULT Clone(IEnumTasks** ppEnum) override;

private:
    Snapshot tasks_;
    std::size_t position_;
};

}  // namespace qmx
