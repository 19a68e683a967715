#include "model/task.h"

#include "automation/date_time.h"
#include "model/task_tree.h"

namespace qmx {

namespace {

// Answered by QueryInterface with the CTask itself, so that the model can
// recognise its own tasks behind an ITask.
constexpr IID kTaskClassId = MakeGuid("{271BDAB5-BAE3-4F85-A461-723E87168BE5}");

template <class T>
HRESULT HandOut(T* object, T** out)
{
    *out = object;
    object->AddRef();
    return S_OK;
}

}  // namespace

CTask::CTask()
    : start_(Today()),
      end_(start_ + 1.0),
      subtasks_(static_cast<ITask*>(this), this, nullptr),
      resources_(this),
      predecessors_(this, CTaskDependencies::Kind::Predecessors),
      successors_(this, CTaskDependencies::Kind::Successors),
      appearance_(static_cast<ITask*>(this), this)
{
}

CTask::~CTask() = default;

CTask* CTask::From(IUnknown* object)
{
    if (!object) return nullptr;
    void* found = nullptr;
    if (FAILED(object->QueryInterface(kTaskClassId, &found)) || !found) return nullptr;
    CTask* task = static_cast<CTask*>(found);
    task->Release();  // the caller holds the object
    return task;
}

HRESULT CTask::QueryOtherInterface(REFIID riid, void** ppv)
{
    if (riid == kTaskClassId) {
        *ppv = this;
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

CTasks* CTask::HoldingList() const
{
    if (parent_) return &parent_->subtasks_;
    CTaskTree* tree = Tree();
    return tree ? &tree->RootList() : nullptr;
}

void CTask::StoreDates(DATE start, DATE end)
{
    if (start == start_ && end == end_) return;
    if (IsMember()) {
        if (CTasks* list = HoldingList()) list->ChildDatesChanged(start_, end_, start, end);
        Tree()->MarkDatesDirty();
    }
    start_ = start;
    end_ = end;
}

void CTask::Notify(DWORD mask, bool fireEvent)
{
    Tree()->TaskSink().OnTaskChanged(this, mask, fireEvent);
}

// --- Structure ---------------------------------------------------------------

HRESULT CTask::get_IsValid(VARIANT_BOOL* pvbValid)
{
    if (!pvbValid) return E_POINTER;
    *pvbValid = ToVariantBool(IsMember());
    return S_OK;
}

HRESULT CTask::get_ID(LONG* pTaskID)
{
    if (!pTaskID) return E_POINTER;
    *pTaskID = id_;
    return S_OK;
}

HRESULT CTask::get_Index(LONG* piIndex)
{
    if (!piIndex) return E_POINTER;
    *piIndex = -1;
    if (!IsMember()) return E_FAIL;
    const auto pos = HoldingList()->PositionOf(this);
    if (!pos) return E_FAIL;
    *piIndex = static_cast<LONG>(*pos);
    return S_OK;
}

HRESULT CTask::put_Index(LONG iIndex)
{
    if (!IsMember()) return E_FAIL;
    CTasks* list = HoldingList();
    if (iIndex < 0 || static_cast<std::size_t>(iIndex) >= list->Size()) return E_INVALIDARG;
    const auto pos = list->PositionOf(this);
    if (!pos) return E_FAIL;
    const auto target = static_cast<std::size_t>(iIndex);
    if (*pos == target) return S_FALSE;
    list->MoveWithin(*pos, target);
    Tree()->MarkStructureChanged();
    Tree()->TaskSink().OnTaskMoved(this);
    return S_OK;
}

HRESULT CTask::get_ParentTask(ITask** ppTask)
{
    if (!ppTask) return E_POINTER;
    *ppTask = nullptr;
    if (!parent_) return S_FALSE;
    return HandOut<ITask>(parent_, ppTask);
}

HRESULT CTask::get_ParentTasks(ITasks** ppTasks)
{
    if (!ppTasks) return E_POINTER;
    *ppTasks = nullptr;
    if (!IsMember()) return E_FAIL;
    return HandOut<ITasks>(HoldingList(), ppTasks);
}

HRESULT CTask::get_HasSubtasks(VARIANT_BOOL* pvbHasSubtasks)
{
    if (!pvbHasSubtasks) return E_POINTER;
    *pvbHasSubtasks = ToVariantBool(HasChildren());
    return S_OK;
}

HRESULT CTask::get_Subtasks(ITasks** ppTasks)
{
    if (!ppTasks) return E_POINTER;
    *ppTasks = nullptr;
    if (!IsMember()) return E_FAIL;
    return HandOut<ITasks>(&subtasks_, ppTasks);
}

HRESULT CTask::GetSibling(LONG offset, ITask** ppTask)
{
    if (!ppTask) return E_POINTER;
    *ppTask = nullptr;
    if (!IsMember()) return E_FAIL;
    CTasks* list = HoldingList();
    const auto pos = list->PositionOf(this);
    if (!pos) return E_FAIL;
    return list->get_Tasks(static_cast<LONG>(*pos) + offset, ppTask);
}

HRESULT CTask::get_PrevSibling(ITask** ppTask)
{
    return GetSibling(-1, ppTask);
}

HRESULT CTask::get_NextSibling(ITask** ppTask)
{
    return GetSibling(+1, ppTask);
}

HRESULT CTask::get_TaskTree(ITaskTree** ppTaskTree)
{
    if (!ppTaskTree) return E_POINTER;
    *ppTaskTree = nullptr;
    if (!IsMember()) return E_FAIL;
    return HandOut<ITaskTree>(Tree(), ppTaskTree);
}

HRESULT CTask::get_Predecessors(ITaskDependencies** ppDependencies)
{
    if (!ppDependencies) return E_POINTER;
    *ppDependencies = nullptr;
    if (!IsMember()) return E_FAIL;
    return HandOut<ITaskDependencies>(&predecessors_, ppDependencies);
}

HRESULT CTask::get_Successors(ITaskDependencies** ppDependencies)
{
    if (!ppDependencies) return E_POINTER;
    *ppDependencies = nullptr;
    if (!IsMember()) return E_FAIL;
    return HandOut<ITaskDependencies>(&successors_, ppDependencies);
}

HRESULT CTask::get_Resources(ITaskResources** ppTaskResources)
{
    if (!ppTaskResources) return E_POINTER;
    *ppTaskResources = nullptr;
    if (!IsMember()) return E_FAIL;
    return HandOut<ITaskResources>(&resources_, ppTaskResources);
}

HRESULT CTask::get_Appearance(ITaskAppearance** ppAppearance)
{
    if (!ppAppearance) return E_POINTER;
    *ppAppearance = nullptr;
    if (!IsMember()) return E_FAIL;
    return HandOut<ITaskAppearance>(&appearance_, ppAppearance);
}

HRESULT CTask::PutAppearanceColor(CTaskAppearance& appearance, COLORREF color)
{
    if (!IsMember()) return E_FAIL;
    appearance.StoreColor(color);
    Notify(tcColor, false);
    return S_OK;
}

// --- Plain fields --------------------------------------------------------------

HRESULT CTask::PutText(BSTR& field, const BSTR& value, DWORD mask)
{
    if (!IsMember()) return E_FAIL;
    if (field == value) return S_OK;
    field = value;
    Notify(mask, false);
    return S_OK;
}

HRESULT CTask::get_Name(BSTR* pbsName)
{
    if (!pbsName) return E_POINTER;
    *pbsName = name_;
    return S_OK;
}

HRESULT CTask::put_Name(const BSTR& bsName)
{
    return PutText(name_, bsName, tcName);
}

HRESULT CTask::get_Notes(BSTR* pbsNotes)
{
    if (!pbsNotes) return E_POINTER;
    *pbsNotes = notes_;
    return S_OK;
}

HRESULT CTask::put_Notes(const BSTR& bsNotes)
{
    return PutText(notes_, bsNotes, tcNotes);
}

HRESULT CTask::get_URL(BSTR* pbsURL)
{
    if (!pbsURL) return E_POINTER;
    *pbsURL = url_;
    return S_OK;
}

HRESULT CTask::put_URL(const BSTR& bsURL)
{
    return PutText(url_, bsURL, tcURL);
}

HRESULT CTask::get_Priority(QMXPriority* pPriority)
{
    if (!pPriority) return E_POINTER;
    *pPriority = priority_;
    return S_OK;
}

HRESULT CTask::put_Priority(QMXPriority Priority)
{
    if (!IsMember()) return E_FAIL;
    if (Priority < prNone || Priority > prHigh) return E_INVALIDARG;
    if (Priority == priority_) return S_OK;
    priority_ = Priority;
    Notify(tcPriority, false);
    return S_OK;
}

HRESULT CTask::get_DurationUnit(QMXDurationUnit* pUnit)
{
    if (!pUnit) return E_POINTER;
    *pUnit = unit_;
    return S_OK;
}

HRESULT CTask::put_DurationUnit(QMXDurationUnit Unit)
{
    if (!IsMember()) return E_FAIL;
    if (Unit < duHour || Unit > duWeek) return E_INVALIDARG;
    unit_ = Unit;  // a presentation choice: not reported
    return S_OK;
}

HRESULT CTask::get_PercentComplete(LONG* pnPercent)
{
    if (!pnPercent) return E_POINTER;
    *pnPercent = percent_;
    return S_OK;
}

HRESULT CTask::put_PercentComplete(LONG nPercent)
{
    if (!IsMember()) return E_FAIL;
    if (nPercent < 0 || nPercent > 100) return E_INVALIDARG;
    if (nPercent == percent_) return S_OK;
    percent_ = nPercent;
    Notify(tcPercentComplete, false);
    return S_OK;
}

HRESULT CTask::get_IsMilestone(VARIANT_BOOL* pvbMilestone)
{
    if (!pvbMilestone) return E_POINTER;
    *pvbMilestone = milestone_;
    return S_OK;
}

HRESULT CTask::put_IsMilestone(VARIANT_BOOL vbMilestone)
{
    if (!IsMember()) return E_FAIL;
    const VARIANT_BOOL value = ToVariantBool(vbMilestone != VARIANT_FALSE);
    if (value == milestone_) return S_OK;
    milestone_ = value;
    Notify(tcMilestone, false);
    return S_OK;
}

HRESULT CTask::get_StartDate(DATE* pStartDate)
{
    if (!pStartDate) return E_POINTER;
    *pStartDate = start_;
    return S_OK;
}

HRESULT CTask::get_EndDate(DATE* pEndDate)
{
    if (!pEndDate) return E_POINTER;
    *pEndDate = end_;
    return S_OK;
}

HRESULT CTask::get_Duration(float* pDuration)
{
    if (!pDuration) return E_POINTER;
    *pDuration = duration_;
    return S_OK;
}

}  // namespace qmx
