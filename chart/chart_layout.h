// The chart pane's layout: one task item per visible task with its bar
// geometry and drawing values, the row index for hit testing, and the links
// between laid-out tasks. Rebuilt from the control and the model at every
// paint; the pane keeps one layout for the screen and one for printing.
#pragma once

#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

#include "automation/com_ptr.h"
#include "chart/chart_geometry.h"
#include "chart/task_index.h"
#include "model/model_interfaces.h"

struct IGanttChartControl;
struct IEnumTasks;

namespace qmx {

// The bar colour of a task without a colour in its ancestry either.
inline constexpr COLORREF kDefaultBarColor = RGB(192, 224, 255);

struct TaskItem {
    ComPtr<ITask> task;  // keeps the task alive until the next layout
    DATE StartDate = 0;
    DATE EndDate = 0;
    LONG PercentComplete = 0;
    VARIANT_BOOL IsMilestone = VARIANT_FALSE;
    VARIANT_BOOL IsSummary = VARIANT_FALSE;
    BSTR Label;  // assigned resources joined with ","; empty for summaries and milestones
    LONG Left = 0;
    LONG Right = 0;
    LONG Top = 0;
    LONG Bottom = 0;
    COLORREF Color = kDefaultBarColor;  // resolved through the ancestors

    BarKind Kind() const { return BarKindOf(IsSummary != VARIANT_FALSE, IsMilestone != VARIANT_FALSE); }
    ItemBox Box() const { return {Left, Right, Top, Bottom}; }
};

struct TaskLink {
    ITask* predecessor = nullptr;  // held by its task item
    ITask* successor = nullptr;
    QMXDependencyType type = dtFinishToStart;
    std::size_t predecessorItem = 0;  // indexes into ChartLayout::Items()
    std::size_t successorItem = 0;
};

// Where the chart is laid out: the area's width and height in pixels (x from
// 0 to width), the view's first and last day, and the top margin added to
// the tree's row positions.
//
// With nearAreaOnly, only what can draw within the area gets an item: the
// tasks whose rows come within kNearAreaReach pixels of it and both ends of
// every link whose rows span part of that band (an arrow from far above to
// far below still crosses the area). Every visible task is still asked for
// its row and its successors, so the picture is the one of a whole layout;
// the tasks far from the area are not read further. The screen paint lays
// out this way; a layout for the whole plan leaves it unset.
//
// With fixedRows set, the rows come from it instead of the control's tree:
// it gives the row of the task at a place of the enumeration, and rowHeight
// is the height of the row index's rows (printing lays out one stripe per
// task this way). The top margin is added as for tree rows.
struct LayoutFrame {
    LONG width = 0;
    LONG height = 0;
    DATE viewStart = 0;
    DATE viewEnd = 0;
    LONG topMargin = 8;
    bool nearAreaOnly = false;
    std::function<void(std::size_t place, LONG& top, LONG& bottom)> fixedRows = {};
    LONG rowHeight = 0;
};

// How far beyond the area's top and bottom a near-area layout reaches: well
// past anything a bar, label or arrow head draws outside its row.
inline constexpr LONG kNearAreaReach = 256;

class ChartLayout {
public:
    void Clear();

    // In layout order (the control's display order).
    const std::vector<TaskItem>& Items() const { return items_; }
    const std::vector<TaskLink>& Links() const { return links_; }
    // One entry per row of the chart area, null where no task lies.
    const std::vector<ITask*>& Rows() const { return rows_; }
    LONG RowHeight() const { return rowHeight_; }

    // The item of a laid-out task, or null.
    const TaskItem* Find(ITask* task) const;

    // The range [first, last) of items that may draw anything within the
    // rows top..bottom, `reach` pixels beyond a row included. Found by binary
    // search when the items lie in ascending rows (the normal case), else the
    // whole list.
    std::pair<std::size_t, std::size_t> ItemsNear(LONG top, LONG bottom, LONG reach) const;

    // Whether the items lie in ascending rows (the normal case).
    bool ItemsAscend() const { return ascendingRows_; }

    // Maps every item's dates anew into an area `width` pixels wide, as the
    // layout does; with minimumWidth a bar is at least one pixel wide.
    void MapDates(LONG width, DATE viewStart, DATE viewEnd, bool minimumWidth);

private:
    friend HRESULT LayOutChart(IGanttChartControl*, const LayoutFrame&, ChartLayout&);
    // The links of LayOutChart: those leaving a task, gathered as it is
    // enumerated (`from` is its place in the enumeration); then those whose
    // successor is laid out too are kept.
    void GatherLinks(ITask* predecessor, std::size_t from);
    void ResolveLinks();
    // Takes the enumerator's tasks one by one into pending_.
    void CollectTasks(IEnumTasks* tasks, LONG expected);
    // The near-area layout of the enumerated tasks.
    void LayOutNearArea(IGanttChartControl* control, const LayoutFrame& frame, COLORREF defaultColor,
                        const ComPtr<ITask>* visible, std::size_t count);
    // Reads one task's item; false when its fields cannot be read.
    bool ReadItem(ITask* task, LONG top, LONG bottom, const LayoutFrame& frame, COLORREF defaultColor,
                  TaskItem& item) const;
    // Appends the item of the enumerated task `place` and enters its row.
    void AddItem(std::size_t place, ComPtr<ITask> task, TaskItem&& item, LONG treeTop);

    std::vector<TaskItem> items_;
    TaskIndex index_;                  // task -> its place in the enumeration
    std::vector<std::size_t> itemAt_;  // place in the enumeration -> item, or TaskIndex::kNone
    struct RowSpan {
        LONG top = 0;
        LONG bottom = 0;
        bool wanted = false;
    };
    std::vector<RowSpan> spans_;  // near-area layout: each enumerated task's row, kept for its memory
    std::vector<ITask*> rows_;
    std::vector<TaskLink> links_;
    std::vector<ComPtr<ITask>> pending_;  // the enumerated tasks during a layout; kept for its memory
    LONG rowHeight_ = 0;
    LONG tallestItem_ = 0;
    bool ascendingRows_ = true;
};

// Lays out every task of the control's EnumVisibleTasks: dates, percent,
// kinds, resource label, colour resolved through the ancestors and the
// tree's default appearance, Left/Right mapped into the frame, Top/Bottom
// from the tree rows plus the top margin; then the row index and the links
// between laid-out tasks. Nothing is laid out for an area without height or
// a control reporting no positive row height. Fails only when the control
// cannot enumerate its tasks; a task whose fields cannot be read is skipped.
HRESULT LayOutChart(IGanttChartControl* control, const LayoutFrame& frame, ChartLayout& layout);

}  // namespace qmx
