#include "model/task_tree.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <new>
#include <vector>

#include "model/date_correction.h"
#include "model/enum_task_ids.h"
#include "model/null_sinks.h"
#include "model/path_search.h"
#include "model/task.h"
#include "model/tree_order.h"

namespace qmx {

CTaskTree::CTaskTree()
    : root_(static_cast<ITaskTree*>(this), nullptr, this),
      defaultAppearance_(static_cast<ITaskTree*>(this), this),
      taskSink_(&NullSinks::Instance()),
      linkSink_(&NullSinks::Instance()),
      assignmentSink_(&NullSinks::Instance())
{
}

CTaskTree::~CTaskTree()
{
    SetSinks(nullptr, nullptr, nullptr);  // the owner may be gone
    DetachAll();
}

void CTaskTree::SetSinks(ITaskTreeSink* tasks, IDependencySink* links, ITaskResourceSink* assignments)
{
    taskSink_ = tasks ? tasks : &NullSinks::Instance();
    linkSink_ = links ? links : &NullSinks::Instance();
    assignmentSink_ = assignments ? assignments : &NullSinks::Instance();
}

void CTaskTree::Shutdown()
{
    SetSinks(nullptr, nullptr, nullptr);
    DetachAll();
    root_.SetTree(nullptr);  // an orphaned tree takes no new tasks
}

// --- Flags and appearance --------------------------------------------------------

HRESULT CTaskTree::get_RootTasks(ITasks** ppTasks)
{
    if (!ppTasks) return E_POINTER;
    *ppTasks = &root_;
    root_.AddRef();
    return S_OK;
}

HRESULT CTaskTree::get_AutocorrectTaskDates(VARIANT_BOOL* pvbAutocorrect)
{
    if (!pvbAutocorrect) return E_POINTER;
    *pvbAutocorrect = autocorrect_;
    return S_OK;
}

HRESULT CTaskTree::put_AutocorrectTaskDates(VARIANT_BOOL vbAutocorrect)
{
    const VARIANT_BOOL value = ToVariantBool(vbAutocorrect != VARIANT_FALSE);
    if (value == autocorrect_) return S_OK;
    autocorrect_ = value;
    if (Autocorrect()) CorrectAllDates();
    return S_OK;
}

HRESULT CTaskTree::get_MatchColors(VARIANT_BOOL* pvbMatchColors)
{
    if (!pvbMatchColors) return E_POINTER;
    *pvbMatchColors = matchColors_;
    return S_OK;
}

HRESULT CTaskTree::put_MatchColors(VARIANT_BOOL vbMatchColors)
{
    matchColors_ = ToVariantBool(vbMatchColors != VARIANT_FALSE);
    return S_OK;
}

HRESULT CTaskTree::get_DefaultTaskAppearance(ITaskAppearance** ppAppearance)
{
    if (!ppAppearance) return E_POINTER;
    *ppAppearance = &defaultAppearance_;
    defaultAppearance_.AddRef();
    return S_OK;
}

HRESULT CTaskTree::PutAppearanceColor(CTaskAppearance& appearance, COLORREF color)
{
    appearance.StoreColor(color);
    taskSink_->OnDefaultAppearanceChanged();
    return S_OK;
}

// --- Lookup ----------------------------------------------------------------------

CTask* CTaskTree::Find(LONG id) const
{
    const auto it = index_.find(id);
    return it == index_.end() ? nullptr : it->second;
}

HRESULT CTaskTree::GetTask(LONG TaskID, ITask** ppTask)
{
    if (!ppTask) return E_POINTER;
    *ppTask = nullptr;
    CTask* task = Find(TaskID);
    if (!task) return E_INVALIDARG;
    *ppTask = task;
    task->AddRef();
    return S_OK;
}

HRESULT CTaskTree::TaskIDExists(LONG TaskID, VARIANT_BOOL* pvbExists)
{
    if (!pvbExists) return E_POINTER;
    *pvbExists = ToVariantBool(Find(TaskID) != nullptr);
    return S_OK;
}

HRESULT CTaskTree::EnumTasks(IEnumTaskIDs** ppEnum)
{
    if (!ppEnum) return E_POINTER;
    *ppEnum = nullptr;
    try {
        auto ids = std::make_shared<std::vector<LONG>>();
        ids->reserve(index_.size());
        for (const auto& entry : index_) ids->push_back(entry.first);
        ComPtr<CEnumTaskIDs> enumerator = MakeObject<CEnumTaskIDs>(std::move(ids));
        if (!enumerator) return E_OUTOFMEMORY;
        *ppEnum = enumerator.Detach();
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT CTaskTree::NewTaskID(LONG* id) const
{
    if (index_.empty()) {
        *id = 1;
        return S_OK;
    }
    const LONG largest = index_.rbegin()->first;
    if (largest == std::numeric_limits<LONG>::max()) return E_FAIL;  // no larger ID left
    // -1 means "no ID": a tree of negative explicit IDs continues at 1.
    *id = largest + 1 == -1 ? 1 : largest + 1;
    return S_OK;
}

void CTaskTree::RegisterTask(CTask* task)
{
    index_.emplace(task->ID(), task);
    rangeDirty_ = true;
}

void CTaskTree::UnregisterTask(CTask* task)
{
    index_.erase(task->ID());
    rangeDirty_ = true;
}

// --- Date range --------------------------------------------------------------------

DATE CTaskTree::MinDate()
{
    if (rangeDirty_) RecomputeRange();
    return minDate_;
}

DATE CTaskTree::MaxDate()
{
    if (rangeDirty_) RecomputeRange();
    return maxDate_;
}

void CTaskTree::RecomputeRange()
{
    minDate_ = kNoLaterBound;
    maxDate_ = kNoEarlierBound;
    for (const auto& entry : index_) {
        minDate_ = std::min(minDate_, entry.second->Start());
        maxDate_ = std::max(maxDate_, entry.second->End());
    }
    rangeDirty_ = false;
}

// --- Structure ---------------------------------------------------------------------

void CTaskTree::EnsurePreorder()
{
    if (numberedVersion_ == structureVersion_) return;
    std::uint64_t number = 0;
    VisitInTreeOrder(root_, [&number](CTask* task) { task->preorder = number++; });
    numberedVersion_ = structureVersion_;
}

std::uint32_t CTaskTree::NewPathMark()
{
    if (++pathMark_ == 0) {
        // The marks wrapped: forget every old mark once.
        for (auto& entry : index_) entry.second->ForgetPathMarks();
        pathMark_ = 1;
    }
    return pathMark_;
}

HRESULT CTaskTree::AddTask(LONG ParentTaskID, LONG iIndex, const BSTR& bsName, ITask** ppTask)
{
    if (ParentTaskID == 0) return root_.Add(iIndex, bsName, ppTask);
    CTask* parent = Find(ParentTaskID);
    if (!parent) {
        if (ppTask) *ppTask = nullptr;
        return E_INVALIDARG;
    }
    return parent->Subtasks().Add(iIndex, bsName, ppTask);
}

void CTaskTree::DetachSubtree(CTask* top)
{
    // Depth first without recursion: a task is finished after all of its
    // children, so its subtasks are released only once they are detached
    // and empty, and no release cascades down a deep hierarchy.
    struct Item {
        CTask* task;
        std::size_t next;
    };
    if (CTask* parent = top->Parent()) parent->AddLinkSources(-top->LinkSourcesBelow());
    top->SetParent(nullptr);
    std::vector<Item> stack{{top, 0}};
    while (!stack.empty()) {
        Item& item = stack.back();
        CTasks& children = item.task->Subtasks();
        if (item.next < children.Size()) {
            CTask* child = children.At(item.next++);
            child->SetParent(nullptr);
            stack.push_back({child, 0});
            continue;
        }
        CTask* task = item.task;
        stack.pop_back();
        std::vector<ComPtr<CTask>> released = children.TakeAll();
        task->Predecessors().RemoveAllLinks();
        task->Successors().RemoveAllLinks();
        UnregisterTask(task);
        children.Detach();
        task->SetID(-1);
    }
    MarkStructureChanged();
}

void CTaskTree::DetachAll()
{
    for (std::size_t i = 0; i < root_.Size(); ++i) DetachSubtree(root_.At(i));
    std::vector<ComPtr<CTask>> released = root_.TakeAll();
    MarkStructureChanged();
}

HRESULT CTaskTree::DeleteTask(LONG TaskID)
{
    CTask* task = Find(TaskID);
    if (!task) return E_INVALIDARG;
    ComPtr<CTask> keep(task);
    CTasks* list = task->HoldingList();
    taskSink_->OnTaskDeleting(task);
    const auto pos = list->PositionOf(task);
    if (!pos) return E_INVALIDARG;
    CTask* parent = list->OwnerTask();
    DetachSubtree(task);
    list->Take(*pos);
    if (Autocorrect() && parent) DateCorrection().UpdateSummaryDates(parent, true);
    return S_OK;
}

HRESULT CTaskTree::DeleteAllTasks()
{
    taskSink_->OnAllTasksDeleted();
    DetachAll();
    return S_OK;
}

HRESULT CTaskTree::Reset()
{
    DeleteAllTasks();
    autocorrect_ = VARIANT_TRUE;
    matchColors_ = VARIANT_TRUE;
    defaultAppearance_.StoreColor(kNoTaskColor);
    taskSink_->OnDefaultAppearanceChanged();
    return S_OK;
}

HRESULT CTaskTree::MoveTask(LONG TaskID, LONG NewParentTaskID, LONG iNewIndex)
{
    CTask* task = Find(TaskID);
    if (!task) return E_INVALIDARG;
    CTask* newParent = nullptr;
    if (NewParentTaskID != 0) {
        newParent = Find(NewParentTaskID);
        if (!newParent) return E_INVALIDARG;
    }
    CTasks* source = task->HoldingList();
    CTasks* destination = newParent ? &newParent->Subtasks() : &root_;
    const std::size_t count = destination->Size();
    if (iNewIndex != -1 && (iNewIndex < 0 || static_cast<std::size_t>(iNewIndex) > count)) return E_INVALIDARG;
    ComPtr<CTask> keep(task);

    // Links that the new place would make cyclic, or that a new summary
    // cannot keep, go first, and stay gone even if the move then fails.
    if (newParent) CleanUpLinksForMove(task, newParent);

    if (destination != source && newParent) {
        if (newParent == task || PathExists(*this, newParent, task, newParent) ||
            PathExists(*this, task, newParent, newParent)) {
            return E_TASK_CYCLE;
        }
    }

    const auto from = source->PositionOf(task);
    if (!from) return E_FAIL;
    CTask* oldParent = source->OwnerTask();
    if (destination == source) {
        // -1 and Count both mean "last".
        const std::size_t to = iNewIndex == -1 || static_cast<std::size_t>(iNewIndex) == count
                                   ? count - 1
                                   : static_cast<std::size_t>(iNewIndex);
        if (*from == to) return S_FALSE;
        source->MoveWithin(*from, to);
    } else {
        try {
            destination->Insert(iNewIndex == -1 ? count : static_cast<std::size_t>(iNewIndex), task);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        source->Take(*from);
        if (oldParent) oldParent->AddLinkSources(-task->LinkSourcesBelow());
        task->SetParent(newParent);
        if (newParent) newParent->AddLinkSources(task->LinkSourcesBelow());
    }
    MarkStructureChanged();
    taskSink_->OnTaskMoved(task);

    if (Autocorrect()) {
        DateCorrection correction;
        if (oldParent) correction.UpdateSummaryDates(oldParent, true);
        if (newParent) {
            correction.UpdateSummaryDates(newParent, true);
            correction.PushStart(newParent, Earliest(newParent).start);
        }
    }
    return S_OK;
}

// --- Correction pass ---------------------------------------------------------------

void CTaskTree::CorrectAllDates()
{
    // Depth first, children before their parent, without recursion.
    struct Item {
        CTask* task;
        std::size_t next;
    };
    DateCorrection correction;
    std::vector<Item> stack;
    for (std::size_t r = 0; r < root_.Size(); ++r) {
        stack.push_back({root_.At(r), 0});
        while (!stack.empty()) {
            Item& item = stack.back();
            CTasks& children = item.task->Subtasks();
            if (item.next < children.Size()) {
                stack.push_back({children.At(item.next++), 0});
                continue;
            }
            CTask* task = item.task;
            stack.pop_back();
            if (task->HasChildren()) {
                correction.UpdateSummaryDates(task, false);
            } else {
                task->SetDurationDays(static_cast<float>(task->End() - task->Start()));
            }
            correction.PropagateToSuccessors(task, true, true);
        }
    }
}

}  // namespace qmx
