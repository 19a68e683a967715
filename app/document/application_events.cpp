// The chart control's events as the application object handles them: model
// changes the control made are forwarded, keys and clicks run commands.
#include "app/document/application_object_impl.h"
#include "app/document/message_ids.h"
#include "app/user_interface.h"

namespace qmx {

namespace {

constexpr LONG kKeyReturn = 13;
constexpr LONG kKeyInsert = 45;
constexpr LONG kKeyDelete = 46;
constexpr LONG kKeyF2 = 113;

}  // namespace

HRESULT ApplicationObject::TaskDblClick(ITask*)
{
    const ComPtr<IApplication> self(this);
    commands_.Tasks().TaskProperties();
    return S_OK;
}

HRESULT ApplicationObject::TaskTreeKeyDown(LONG nKey, VARIANT_BOOL* pvbHandled)
{
    if (!pvbHandled) return E_POINTER;
    const ComPtr<IApplication> self(this);
    switch (nKey) {
    case kKeyReturn:
        commands_.Tasks().NewSiblingTask();
        *pvbHandled = VARIANT_TRUE;
        break;
    case kKeyInsert:
        commands_.Tasks().NewTask();
        *pvbHandled = VARIANT_TRUE;
        break;
    case kKeyDelete:
        if (state_.CaretTask()) {
            commands_.Tasks().DeleteTasks();
            *pvbHandled = VARIANT_TRUE;
        }
        break;
    case kKeyF2:
        if (state_.CaretTask()) {
            commands_.Tasks().EditCaretName();
            *pvbHandled = VARIANT_TRUE;
        }
        break;
    default:
        break;
    }
    return S_OK;
}

HRESULT ApplicationObject::TaskTreeContextMenu(LONG xPos, LONG yPos)
{
    state_.ui.ShowContextMenu(kTaskTreeContextMenu, xPos, yPos);
    return S_OK;
}

HRESULT ApplicationObject::ResourceDblClick(IResource*)
{
    const ComPtr<IApplication> self(this);
    commands_.ResourceGroup().ResourceProperties();
    return S_OK;
}

HRESULT ApplicationObject::ResourceListContextMenu(LONG xPos, LONG yPos)
{
    state_.ui.ShowContextMenu(kResourceListContextMenu, xPos, yPos);
    return S_OK;
}

HRESULT ApplicationObject::TaskChanged(ITask* pTask)
{
    if (pTask && state_.currentAdapter) state_.currentAdapter->TaskUpdate(IdOf(pTask));
    return S_OK;
}

HRESULT ApplicationObject::TaskResourceDeleted(ITaskResource* pTaskResource)
{
    if (!pTaskResource || !state_.currentAdapter) return S_OK;
    ComPtr<ITaskResources> assignments;
    ComPtr<ITask> task;
    ComPtr<IResource> resource;
    if (FAILED(pTaskResource->get_TaskResources(assignments.ReleaseAndGetAddressOf())) || !assignments ||
        FAILED(assignments->get_Task(task.ReleaseAndGetAddressOf())) || !task ||
        FAILED(pTaskResource->get_Resource(resource.ReleaseAndGetAddressOf())) || !resource)
        return S_OK;
    state_.currentAdapter->TaskResourceDelete(IdOf(task.Get()), IdOf(resource.Get()));
    return S_OK;
}

HRESULT ApplicationObject::TimeRangeChanged()
{
    if (state_.currentAdapter) state_.currentAdapter->DocumentViewUpdate();
    return S_OK;
}

}  // namespace qmx
