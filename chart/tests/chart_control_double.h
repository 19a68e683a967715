// A stand-in for the composite chart control in chart pane tests and
// benchmarks: a real project model and a task tree "view" of 18-pixel rows
// with collapsible parents and a vertical scroll offset, answering the
// IGanttChartControl members the chart pane calls. Like a tree view it keeps
// its rows, and each task keeps its row in its view cookie; the rows follow
// AddTask and SetCollapsed, and RowsChanged after other changes of the tree.
#pragma once

#include <unordered_set>
#include <vector>

#include "chart/tests/chart_control_double_base.h"
#include "model/project_model.h"

namespace qmx::testing {

class ChartControlDouble final : public ChartControlDoubleBase {
public:
    static constexpr LONG kRowHeight = 18;

    ChartControlDouble();

    ITaskTree* Tree() const { return model_.TaskTree(); }
    IResources* Resources() const { return model_.Resources(); }

    // A root task (parentId 0) or subtask appended with the given dates;
    // returns it with one reference.
    ComPtr<ITask> AddTask(LONG parentId, DATE start, DATE end);
    void SetCollapsed(ITask* task, bool collapsed);
    void RowsChanged() { rowsValid_ = false; }
    // The tree scrolled down by whole rows.
    void SetFirstVisibleRow(LONG row) { firstRow_ = row; }
    // How often the pane listed the visible tasks: once per layout.
    int Enumerations() const { return enumerations_; }

    // IGanttChartControl: the members the chart pane calls
    HRESULT get_MinDate(DATE* pMinDate) override;
    HRESULT get_MaxDate(DATE* pMaxDate) override;
    HRESULT EnumVisibleTasks(IEnumTasks** ppEnum) override;
    HRESULT GetTaskTreeItemBounds(ITask* pTask, LONG* plTop, LONG* plBottom) override;
    HRESULT GetTaskTreeItemHeight(LONG* plHeight) override;
    HRESULT get_TaskTree(ITaskTree** ppTaskTree) override;

private:
    // The visible rows in display order, walked without recursion; every
    // task's cookie is its row + 1, 0 when hidden.
    void BuildRows();

    ProjectModel model_;
    std::unordered_set<ITask*> collapsed_;
    LONG firstRow_ = 0;
    std::vector<ComPtr<ITask>> rows_;
    bool rowsValid_ = false;
    int enumerations_ = 0;
};

}  // namespace qmx::testing
