// A map page of the task dialog (Predecessors, layout 112; Resources,
// layout 139): a simple grid, made by its ProgID inside the layout's
// "grid" widget, with one row per entry and an empty last row. Column 0
// names the task or resource (a drop-down list of them, plus an empty item
// that removes the row), column 1 shows its ID, column 2 the link type (a
// drop-down list of the four type names) or the units (digits only). The
// grid widget's properties "columnHeaders" and "columnWidths" ("a|b|c",
// "200|40|100") give the headers and widths.
#pragma once

#include <QObject>

#include "app/dialogs/map_page_edits.h"
#include "automation/com_ptr.h"
#include "grid/simple_grid_interfaces.h"
#include "model/model_interfaces.h"

class QWidget;
struct IWidgetControl;

namespace qmx {

class MapGridPage final : public QObject {
public:
    enum class Kind { Predecessors, Resources };

    // The task's predecessors, offering every other task of the tree.
    static MapGridPage* BindPredecessors(QWidget* layout, MapPageEdits* edits, ITaskTree* tree, LONG taskId);
    // The task's assignments, offering every resource of the pool.
    static MapGridPage* BindResources(QWidget* layout, MapPageEdits* edits, IResources* pool);
    ~MapGridPage() override;

    QWidget* Layout() const { return layout_; }
    // The grid (null when it could not be made: the page then shows no grid).
    ISimpleGridControl* Grid() const { return grid_.Get(); }
    // Closes an open cell editor, keeping what it holds.
    void CommitEditor();

private:
    class Sink;
    friend class Sink;

    MapGridPage(QWidget* layout, MapPageEdits* edits, Kind kind, ITaskTree* tree, IResources* pool, LONG taskId);
    void CreateGrid();
    void FillRows();
    void ShowRow(LONG row);
    void AppendEmptyRow();
    BSTR ItemName(LONG id) const;
    BSTR ValueText(LONG value) const;
    // Items of column 0 that row may take: those no other row holds.
    std::vector<std::pair<LONG, BSTR>> ItemsFor(LONG row) const;

    _CellEditorType EditorFor(LONG row, LONG col) const;
    void InitCombo(LONG row, LONG col, ISimpleGridComboParam* param);
    void InitEdit(ISimpleGridEditParam* param);
    void CloseCombo(LONG row, LONG col, ISimpleGridComboParam* param);
    void CloseEdit(LONG row, ISimpleGridEditParam* param);

    QWidget* layout_;
    MapPageEdits* edits_;
    Kind kind_;
    ComPtr<ITaskTree> tree_;
    ComPtr<IResources> pool_;
    LONG taskId_;
    ComPtr<IWidgetControl> control_;
    ComPtr<ISimpleGridControl> grid_;
    ComPtr<Sink> sink_;
    DWORD cookie_ = 0;
};

}  // namespace qmx
