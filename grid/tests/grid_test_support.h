// Helpers of the grid tests: the Qt application, the grid library's
// registration into the test's private registry store, a grid created by
// ProgID inside a host window, and a host's event sink that records and
// answers the grid's events.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <QImage>
#include <QPoint>
#include <QWidget>

#include "automation/com_object.h"
#include "grid/simple_grid_interfaces.h"

namespace qmx::testing {

void EnsureApplication();

// Registers libQMXSimpleGrid.so of the build ($QMX_BUILD_LIB_DIR) in the
// registry store of the test ($QMX_REGISTRY).
HRESULT RegisterGridLibrary();

// Saves an image as <name>.png in the test's runtime folder and returns the
// path (empty when it could not be saved).
std::string SavePicture(const QImage& image, const std::string& name);

BSTR Text(const char* utf8);
std::string Utf8(const BSTR& text);

// The row height a grid window takes from its drop-down editor.
LONG ExpectedRowHeight();

// A double click as the platform delivers it: press, release, double
// click, release.
void DoubleClick(QWidget* widget, QPoint at);

// The host's side of the events. Every event is logged as a line
// ("Query 2 1", "CloseEdit 2 1 save"...); the hooks answer it.
class HostSink final : public ComObject<_ISimpleGridControlEvents> {
public:
    HRESULT OnLButtonDblClk() override;
    HRESULT ContextMenu(LONG xPos, LONG yPos) override;
    HRESULT QueryCellEditor(LONG iRow, LONG iCol, _CellEditorType* pCellEditorType) override;
    HRESULT InitEditEditor(LONG iRow, LONG iCol, ISimpleGridEditParam* pParam) override;
    HRESULT CloseEditEditor(LONG iRow, LONG iCol, VARIANT_BOOL vbSaveChanges, ISimpleGridEditParam* pParam,
                            VARIANT_BOOL* pvbClose) override;
    HRESULT InitComboEditor(LONG iRow, LONG iCol, ISimpleGridComboParam* pParam) override;
    HRESULT CloseComboEditor(LONG iRow, LONG iCol, VARIANT_BOOL vbSaveChanges, ISimpleGridComboParam* pParam,
                             VARIANT_BOOL* pvbClose) override;
    HRESULT ComboSelChange(LONG iRow, LONG iCol, LONG ItemID) override;

    std::function<void()> onDblClk;
    // The editor each cell gets; etNone by default.
    std::function<_CellEditorType(LONG row, LONG col)> editorFor;
    std::function<HRESULT(LONG row, LONG col, ISimpleGridEditParam*)> onInitEdit;
    // Answers whether the editor may close.
    std::function<bool(LONG row, LONG col, bool save, ISimpleGridEditParam*)> onCloseEdit;
    std::function<HRESULT(LONG row, LONG col, ISimpleGridComboParam*)> onInitCombo;
    std::function<bool(LONG row, LONG col, bool save, ISimpleGridComboParam*)> onCloseCombo;

    std::vector<std::string> log;
    QPoint lastContextMenu;
};

// A grid made by ProgID, its window inside a shown host window, its sink
// advised.
struct GridFixture {
    explicit GridFixture(int width = 300, int height = 200);
    ~GridFixture();
    GridFixture(const GridFixture&) = delete;
    GridFixture& operator=(const GridFixture&) = delete;

    // ColCount columns of the given width; rows with texts "r<row>c<col>".
    void Fill(LONG rows, LONG cols, LONG width = 40);
    LONG RowHeight() const;
    // The window point at the middle of a cell (a grid with Border on has
    // its one-pixel edge around the client area).
    QPoint CellCenter(LONG row, LONG col, LONG width = 40) const;
    LONG Selected() const;
    LONG SelectedCol() const;
    LONG Top() const;
    std::string CellText(LONG row, LONG col) const;
    // Makes the host window the active one, so that focus can be seen.
    void Activate() const;
    // The editor child of the grid window that is shown, or null.
    QWidget* ShownEditor() const;

    template <class I>
    ComPtr<I> Query() const
    {
        ComPtr<I> result;
        grid->QueryInterface(I::iid, reinterpret_cast<void**>(result.ReleaseAndGetAddressOf()));
        return result;
    }

    QWidget* host = nullptr;
    QWidget* window = nullptr;
    ComPtr<ISimpleGridControl> grid;
    ComPtr<HostSink> sink;
    DWORD cookie = 0;
};

}  // namespace qmx::testing
