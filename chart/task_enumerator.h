// IEnumTasks: a snapshot of task references taken when the enumerator is
// made. Clones share the snapshot and keep their own position.
#pragma once

#include <memory>
#include <vector>

#include "automation/com_object.h"
#include "chart/chart_control_interfaces.h"

namespace qmx {

// The whole list of an enumerator at once, for a caller that walks every
// task (the chart pane's layout): no reference is taken per task. The array
// stays valid, each task in it referenced, while the caller holds the
// enumerator; the enumerator's position does not move.
struct ITaskSnapshot : IUnknown {
    QMX_INTERFACE_ID("{850EC763-A110-412E-BBD5-23C4BFAD3F61}");

    virtual HRESULT GetTasks(const ComPtr<ITask>** ppTasks, std::size_t* pnCount) = 0;
};

class TaskEnumerator final : public ComObject<IEnumTasks, ITaskSnapshot> {
public:
    using Snapshot = std::shared_ptr<const std::vector<ComPtr<ITask>>>;

    TaskEnumerator(Snapshot tasks, std::size_t position);

    // A new enumerator over the tasks, in their order; E_FAIL (and no
    // enumerator) when memory runs out while building it.
    static HRESULT Create(std::vector<ComPtr<ITask>> tasks, IEnumTasks** ppEnum);
    // A new enumerator over a snapshot that others may share.
    static HRESULT Create(Snapshot tasks, IEnumTasks** ppEnum);

    HRESULT GetCount(LONG* pnCount) override;
    HRESULT End(VARIANT_BOOL* pvbEnd) override;
    HRESULT Next(ITask** ppTask) override;
    HRESULT Skip(LONG nCount) override;
    HRESULT Reset() override;
    HRESULT Clone(IEnumTasks** ppEnum) override;

    HRESULT GetTasks(const ComPtr<ITask>** ppTasks, std::size_t* pnCount) override;

private:
    Snapshot tasks_;
    std::size_t position_;
};

}  // namespace qmx
