#include "chart/chart_layout.h"

#include <algorithm>

#include "chart/chart_control_interfaces.h"
#include "chart/task_enumerator.h"

namespace qmx {

namespace {

// How many tasks ahead the index's memory is fetched.
constexpr std::size_t kAhead = 8;

// The default appearance's colour, or the standard bar colour when it cannot
// be read or is itself "no colour".
COLORREF ReadDefaultColor(IGanttChartControl* control)
{
    ComPtr<ITaskTree> tree;
    ComPtr<ITaskAppearance> appearance;
    COLORREF color = kNoTaskColor;
    if (FAILED(control->get_TaskTree(tree.ReleaseAndGetAddressOf())) || !tree ||
        FAILED(tree->get_DefaultTaskAppearance(appearance.ReleaseAndGetAddressOf())) || !appearance ||
        FAILED(appearance->get_Color(&color)) || color == kNoTaskColor)
        return kDefaultBarColor;
    return color;
}

// The task's own colour, kNoTaskColor when it has none or it cannot be read.
COLORREF OwnColor(ITask* task)
{
    ComPtr<ITaskAppearance> appearance;
    COLORREF color = kNoTaskColor;
    if (FAILED(task->get_Appearance(appearance.ReleaseAndGetAddressOf())) || !appearance ||
        FAILED(appearance->get_Color(&color)))
        return kNoTaskColor;
    return color;
}

ComPtr<ITask> ParentOf(ITask* task)
{
    ComPtr<ITask> parent;
    if (task->get_ParentTask(parent.ReleaseAndGetAddressOf()) != S_OK) parent = nullptr;
    return parent;
}

// The assigned resources' names in assignment order, joined with ",".
BSTR ResourceLabel(ITask* task)
{
    BSTR label;
    ComPtr<ITaskResources> assignments;
    LONG count = 0;
    if (FAILED(task->get_Resources(assignments.ReleaseAndGetAddressOf())) || !assignments ||
        FAILED(assignments->get_Count(&count)))
        return label;
    bool first = true;
    for (LONG i = 0; i < count; ++i) {
        ComPtr<ITaskResource> assignment;
        ComPtr<IResource> resource;
        BSTR name;
        if (FAILED(assignments->get_TaskResources(i, assignment.ReleaseAndGetAddressOf())) || !assignment ||
            FAILED(assignment->get_Resource(resource.ReleaseAndGetAddressOf())) || !resource ||
            FAILED(resource->get_Name(&name)))
            continue;
        if (!first) label += u',';
        label += name;
        first = false;
    }
    return label;
}

bool ReadFields(ITask* task, TaskItem& item)
{
    VARIANT_BOOL summary = VARIANT_FALSE;
    if (FAILED(task->get_StartDate(&item.StartDate)) || FAILED(task->get_EndDate(&item.EndDate)) ||
        FAILED(task->get_PercentComplete(&item.PercentComplete)) || FAILED(task->get_IsMilestone(&item.IsMilestone)) ||
        FAILED(task->get_HasSubtasks(&summary)))
        return false;
    item.IsSummary = ToVariantBool(summary != VARIANT_FALSE);
    return true;
}

// Rows are counted from the tree's top; rows above it are negative.
LONG FloorDiv(LONG a, LONG b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0); }

}  // namespace

void ChartLayout::Clear()
{
    items_.clear();
    index_.Reset(0);
    itemAt_.clear();
    rows_.clear();
    links_.clear();
    rowHeight_ = 0;
    tallestItem_ = 0;
    ascendingRows_ = true;
}

const TaskItem* ChartLayout::Find(ITask* task) const
{
    const std::size_t place = index_.Find(task);
    if (place == TaskIndex::kNone || itemAt_[place] == TaskIndex::kNone) return nullptr;
    return &items_[itemAt_[place]];
}

void ChartLayout::MapDates(LONG width, DATE viewStart, DATE viewEnd, bool minimumWidth)
{
    for (TaskItem& item : items_) {
        if (minimumWidth) {
            const BarEnds ends = BarEndsFor(item.StartDate, item.EndDate, 0, width, viewStart, viewEnd);
            item.Left = ends.left;
            item.Right = ends.right;
        } else {
            item.Left = ChartX(item.StartDate, 0, width, viewStart, viewEnd);
            item.Right = ChartX(item.EndDate, 0, width, viewStart, viewEnd);
        }
    }
}

std::pair<std::size_t, std::size_t> ChartLayout::ItemsNear(LONG top, LONG bottom, LONG reach) const
{
    if (!ascendingRows_) return {0, items_.size()};
    // Every item below `first` ends above top - reach.
    const LONG from = top - reach - tallestItem_;
    const LONG to = bottom + reach;
    const auto byTop = [](const TaskItem& item, LONG y) { return item.Top < y; };
    const auto first = std::lower_bound(items_.begin(), items_.end(), from, byTop);
    const auto last = std::lower_bound(first, items_.end(), to, byTop);
    return {std::size_t(first - items_.begin()), std::size_t(last - items_.begin())};
}

HRESULT LayOutChart(IGanttChartControl* control, const LayoutFrame& frame, ChartLayout& layout)
{
    layout.Clear();
    if (!control) return E_POINTER;

    const COLORREF defaultColor = ReadDefaultColor(control);
    LONG rowHeight = frame.fixedRows ? frame.rowHeight : 0;
    if (!frame.fixedRows && FAILED(control->GetTaskTreeItemHeight(&rowHeight))) rowHeight = 0;
    layout.rowHeight_ = rowHeight;
    if (frame.height <= 0 || rowHeight <= 0) return S_OK;
    const LONG rowCount = frame.height / rowHeight + (frame.height % rowHeight != 0 ? 1 : 0);
    layout.rows_.assign(std::size_t(rowCount), nullptr);

    ComPtr<IEnumTasks> tasks;
    const HRESULT hr = control->EnumVisibleTasks(tasks.ReleaseAndGetAddressOf());
    if (FAILED(hr)) return hr;
    if (!tasks) return E_FAIL;
    LONG expected = 0;
    if (FAILED(tasks->GetCount(&expected))) expected = 0;

    if (frame.nearAreaOnly && !frame.fixedRows) {
        // The enumerator's own list when it offers one, which spares a
        // reference per task; else the tasks taken one by one.
        const ComPtr<ITask>* list = nullptr;
        std::size_t count = 0;
        ComPtr<ITaskSnapshot> snapshot;
        if (FAILED(tasks.As(&snapshot)) || !snapshot || FAILED(snapshot->GetTasks(&list, &count))) {
            layout.CollectTasks(tasks.Get(), expected);
            list = layout.pending_.data();
            count = layout.pending_.size();
        }
        layout.LayOutNearArea(control, frame, defaultColor, list, count);
        layout.pending_.clear();
        return S_OK;
    }

    // All tasks first, so that each one's place in the index can be fetched
    // while the ones before it are read.
    layout.items_.reserve(std::size_t(std::max(expected, LONG(0))));
    layout.CollectTasks(tasks.Get(), expected);
    std::vector<ComPtr<ITask>>& visible = layout.pending_;
    layout.index_.Reset(visible.size());
    layout.itemAt_.assign(visible.size(), TaskIndex::kNone);
    for (std::size_t k = 0; k < visible.size(); ++k) {
        if (k + kAhead < visible.size()) layout.index_.Prefetch(visible[k + kAhead].Get());
        ITask* task = visible[k].Get();
        TaskItem item;
        LONG top = -1;
        LONG bottom = -1;
        if (frame.fixedRows)
            frame.fixedRows(k, top, bottom);
        else if (FAILED(control->GetTaskTreeItemBounds(task, &top, &bottom)))
            continue;
        if (!layout.ReadItem(task, top, bottom, frame, defaultColor, item)) continue;
        if (!layout.index_.Insert(task, k)) continue;  // listed twice
        layout.AddItem(k, std::move(visible[k]), std::move(item), top);
        // While the task is at hand: the links leaving it.
        layout.GatherLinks(task, layout.items_.size() - 1);
    }
    layout.ResolveLinks();
    visible.clear();  // the items hold the tasks now
    return S_OK;
}

bool ChartLayout::ReadItem(ITask* task, LONG top, LONG bottom, const LayoutFrame& frame, COLORREF defaultColor,
                           TaskItem& item) const
{
    if (!ReadFields(task, item)) return false;
    item.Top = top + frame.topMargin;
    item.Bottom = bottom + frame.topMargin;
    const BarEnds ends = BarEndsFor(item.StartDate, item.EndDate, 0, frame.width, frame.viewStart, frame.viewEnd);
    item.Left = ends.left;
    item.Right = ends.right;
    if (item.Kind() == BarKind::Normal) item.Label = ResourceLabel(task);

    // Inherited colours: a visible task's parent is visible and laid out
    // before it, so its resolved colour is at hand when it has an item; walk
    // up otherwise.
    item.Color = OwnColor(task);
    for (ComPtr<ITask> parent = ParentOf(task); item.Color == kNoTaskColor && parent;
         parent = ParentOf(parent.Get())) {
        if (const TaskItem* parentItem = Find(parent.Get())) {
            item.Color = parentItem->Color;
            break;
        }
        item.Color = OwnColor(parent.Get());
    }
    if (item.Color == kNoTaskColor) item.Color = defaultColor;
    return true;
}

void ChartLayout::CollectTasks(IEnumTasks* tasks, LONG expected)
{
    pending_.clear();
    pending_.reserve(std::size_t(std::max(expected, LONG(0))));
    for (ComPtr<ITask> task; tasks->Next(task.ReleaseAndGetAddressOf()) == S_OK && task;)
        pending_.push_back(std::move(task));
}

void ChartLayout::AddItem(std::size_t place, ComPtr<ITask> task, TaskItem&& item, LONG treeTop)
{
    const LONG row = FloorDiv(treeTop, rowHeight_);
    if (row >= 0 && row < LONG(rows_.size())) rows_[std::size_t(row)] = task.Get();
    if (!items_.empty() && item.Top < items_.back().Top) ascendingRows_ = false;
    tallestItem_ = std::max(tallestItem_, item.Bottom - item.Top);
    item.task = std::move(task);
    itemAt_[place] = items_.size();
    items_.push_back(std::move(item));
}

void ChartLayout::LayOutNearArea(IGanttChartControl* control, const LayoutFrame& frame, COLORREF defaultColor,
                                 const ComPtr<ITask>* visible, std::size_t count)
{
    index_.Reset(count);
    itemAt_.assign(count, TaskIndex::kNone);
    const LONG nearTop = -kNearAreaReach - frame.topMargin;  // in the tree's coordinates
    const LONG nearBottom = frame.height + kNearAreaReach - frame.topMargin;
    // Every task's row and the links leaving it.
    spans_.assign(count, RowSpan{});
    for (std::size_t k = 0; k < count; ++k) {
        if (k + kAhead < count) index_.Prefetch(visible[k + kAhead].Get());
        ITask* task = visible[k].Get();
        RowSpan& span = spans_[k];
        if (FAILED(control->GetTaskTreeItemBounds(task, &span.top, &span.bottom))) continue;
        if (!index_.Insert(task, k)) continue;  // listed twice
        span.wanted = span.bottom > nearTop && span.top < nearBottom;
        GatherLinks(task, k);
    }
    // The links that may cross the band want both their ends.
    for (std::size_t k = 0; k < links_.size(); ++k) {
        if (k + kAhead < links_.size()) index_.Prefetch(links_[k + kAhead].successor);
        TaskLink& link = links_[k];
        link.successorItem = index_.Find(link.successor);
        if (link.successorItem == TaskIndex::kNone) continue;
        RowSpan& p = spans_[link.predecessorItem];
        RowSpan& s = spans_[link.successorItem];
        if (std::max(p.bottom, s.bottom) <= nearTop || std::min(p.top, s.top) >= nearBottom) {
            link.successorItem = TaskIndex::kNone;
            continue;
        }
        p.wanted = s.wanted = true;
    }
    for (std::size_t k = 0; k < count; ++k) {
        if (!spans_[k].wanted) continue;
        TaskItem item;
        if (ReadItem(visible[k].Get(), spans_[k].top, spans_[k].bottom, frame, defaultColor, item))
            AddItem(k, visible[k], std::move(item), spans_[k].top);
    }
    // A link to a hidden task, or whose ends could not be read, has no arrow.
    for (TaskLink& link : links_) {
        if (link.successorItem == TaskIndex::kNone) continue;
        link.predecessorItem = itemAt_[link.predecessorItem];
        link.successorItem = itemAt_[link.successorItem];
        if (link.predecessorItem == TaskIndex::kNone) link.successorItem = TaskIndex::kNone;
    }
    std::erase_if(links_, [](const TaskLink& link) { return link.successorItem == TaskIndex::kNone; });
    for (TaskLink& link : links_) {
        link.predecessor = items_[link.predecessorItem].task.Get();
        link.successor = items_[link.successorItem].task.Get();
    }
}

void ChartLayout::GatherLinks(ITask* predecessor, std::size_t from)
{
    ComPtr<ITaskDependencies> successors;
    LONG count = 0;
    if (FAILED(predecessor->get_Successors(successors.ReleaseAndGetAddressOf())) || !successors ||
        FAILED(successors->get_Count(&count)))
        return;
    for (LONG j = 0; j < count; ++j) {
        ComPtr<ITaskDependency> link;
        ComPtr<ITask> pair;
        QMXDependencyType type = dtFinishToStart;
        if (FAILED(successors->get_Dependencies(j, link.ReleaseAndGetAddressOf())) || !link ||
            FAILED(link->get_PairTask(pair.ReleaseAndGetAddressOf())) || !pair || FAILED(link->get_Type(&type)))
            continue;
        // The pair is only compared, never used, until it is found laid out.
        links_.push_back({predecessor, pair.Get(), type, from, TaskIndex::kNone});
    }
}

void ChartLayout::ResolveLinks()
{
    // The lookups are independent, so the index's memory is fetched ahead.
    for (std::size_t k = 0; k < links_.size(); ++k) {
        if (k + kAhead < links_.size()) index_.Prefetch(links_[k + kAhead].successor);
        const std::size_t place = index_.Find(links_[k].successor);
        links_[k].successorItem = place == TaskIndex::kNone ? TaskIndex::kNone : itemAt_[place];
    }
    // A link to a hidden task has no arrow.
    std::erase_if(links_, [](const TaskLink& link) { return link.successorItem == TaskIndex::kNone; });
    for (TaskLink& link : links_) link.successor = items_[link.successorItem].task.Get();
}

}  // namespace qmx
