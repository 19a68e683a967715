// The simple grid control's interfaces: ISimpleGridControl, its outgoing
// events, the two editor parameter objects and the connection point.
#pragma once

#include "automation/types.h"
#include "automation/unknown.h"

class QPainter;

// Class identity of the grid control and its library.
inline constexpr CLSID CLSID_QMXSimpleGridControl = qmx::MakeGuid("{A52B75B8-2DCA-4E91-81F8-C7A5FCEAC96A}");
inline constexpr const char* kSimpleGridProgId = "QMXGanttChart.SimpleGrid.1";
inline constexpr const char* kSimpleGridVersionIndependentProgId = "QMXGanttChart.SimpleGrid";
inline constexpr const char* kSimpleGridDescription = "QMXSimpleGrid Control Class";
inline constexpr GUID LIBID_QMXSimpleGridLib = qmx::MakeGuid("{6F3CC07B-1951-47AC-ABEA-1A09320AC2D2}");
inline constexpr const char* kSimpleGridLibName = "QMXSimpleGridLib";
inline constexpr const char* kSimpleGridLibVersion = "1.0";
inline constexpr int kSimpleGridToolboxBitmap = 102;

// The kind of editor a host asks for in QueryCellEditor. Any other value
// means no editor, as etNone does.
enum _CellEditorType : SHORT {
    etNone = 0,
    etEdit = 1,
    etCombo = 2,
};

// The edit editor's parameters: plain storage that the grid moves into the
// edit box when it opens and back out when it closes.
struct ISimpleGridEditParam : IUnknown {
    QMX_INTERFACE_ID("{6DEA7CAE-7529-4860-AC05-1CC16A56B820}");

    virtual HRESULT get_Text(BSTR* pbsText) = 0;
    virtual HRESULT put_Text(const BSTR& bsText) = 0;
    // VARIANT_TRUE: the edit box takes digits only.
    virtual HRESULT get_IsNumber(VARIANT_BOOL* pvbIsNumber) = 0;
    virtual HRESULT put_IsNumber(VARIANT_BOOL vbIsNumber) = 0;
    // The most characters the user may type; 0 or less means no limit of
    // the host's (the edit box's largest).
    virtual HRESULT get_MaxLength(LONG* pnMaxLength) = 0;
    virtual HRESULT put_MaxLength(LONG nMaxLength) = 0;
};

// The combo editor's parameters: the items to list and the selection.
struct ISimpleGridComboParam : IUnknown {
    QMX_INTERFACE_ID("{DF2EBE4A-B2A8-43C6-8CC2-65F5CD31CAF6}");

    // Appends an item; an empty text makes an empty item.
    virtual HRESULT AddItem(LONG ID, const BSTR& bsText) = 0;
    // The selected item's ID; -1 = none.
    virtual HRESULT get_Selection(LONG* pID) = 0;
    virtual HRESULT put_Selection(LONG ID) = 0;
    // The selected item's text.
    virtual HRESULT get_Text(BSTR* pbsText) = 0;
    virtual HRESULT put_Text(const BSTR& bsText) = 0;
};

// Dispatch ids of ISimpleGridControl.
enum SimpleGridDispId : LONG {
    DISPID_SIMPLEGRID_COLCOUNT = 1,
    DISPID_SIMPLEGRID_ROWCOUNT = 2,
    DISPID_SIMPLEGRID_COLWIDTHS = 3,
    DISPID_SIMPLEGRID_COLHEADERS = 4,
    DISPID_SIMPLEGRID_CELLTEXT = 5,
    DISPID_SIMPLEGRID_CELLDATA = 6,
    DISPID_SIMPLEGRID_TOPROW = 7,
    DISPID_SIMPLEGRID_SELECTEDROW = 8,
    DISPID_SIMPLEGRID_SELECTEDCOL = 9,
    DISPID_SIMPLEGRID_BORDER = 10,
    DISPID_SIMPLEGRID_EDITABLE = 11,
    DISPID_SIMPLEGRID_INSERTROW = 20,
    DISPID_SIMPLEGRID_DELETEROW = 21,
    DISPID_SIMPLEGRID_DELETEALLROWS = 22,
    DISPID_SIMPLEGRID_OPENEDITOR = 23,
    DISPID_SIMPLEGRID_CLOSEEDITOR = 24,
};

// A grid of rows by columns of text cells with a header row, one selected
// row and column, vertical scrolling and in-place editing. Null
// out-pointers answer E_POINTER; indexes outside their range answer
// E_INVALIDARG and change nothing. Puts that would move the selection or
// the columns under an open editor answer S_FALSE and change nothing.
struct ISimpleGridControl : IUnknown {
    QMX_INTERFACE_ID("{2F896816-1175-46BF-AF5A-0A311FF42D3A}");

    // A sunken border (VARIANT_TRUE by default).
    virtual HRESULT get_Border(VARIANT_BOOL* pvbBorder) = 0;
    virtual HRESULT put_Border(VARIANT_BOOL vbBorder) = 0;
    // Negative: E_INVALIDARG. New columns are 40 pixels wide with empty
    // headers and cells (data 0).
    virtual HRESULT get_ColCount(LONG* pnCount) = 0;
    virtual HRESULT put_ColCount(LONG nCount) = 0;
    // Widths are always above 0.
    virtual HRESULT get_ColWidths(LONG iIndex, LONG* pnWidth) = 0;
    virtual HRESULT put_ColWidths(LONG iIndex, LONG nWidth) = 0;
    virtual HRESULT get_ColHeaders(LONG iIndex, BSTR* pbsHeader) = 0;
    virtual HRESULT put_ColHeaders(LONG iIndex, const BSTR& bsHeader) = 0;
    virtual HRESULT get_RowCount(LONG* pnCount) = 0;
    virtual HRESULT get_CellText(LONG iRow, LONG iCol, BSTR* pbsText) = 0;
    virtual HRESULT put_CellText(LONG iRow, LONG iCol, const BSTR& bsText) = 0;
    // A value for the host's own use, never shown.
    virtual HRESULT get_CellData(LONG iRow, LONG iCol, LONG* pnData) = 0;
    virtual HRESULT put_CellData(LONG iRow, LONG iCol, LONG nData) = 0;
    // The first row shown below the header; puts are clamped to the rows
    // that can be scrolled to.
    virtual HRESULT get_TopRow(LONG* piRow) = 0;
    virtual HRESULT put_TopRow(LONG iRow) = 0;
    // -1 = none (the get then answers S_FALSE); a put outside the rows
    // clears the selection.
    virtual HRESULT get_SelectedRow(LONG* piRow) = 0;
    virtual HRESULT put_SelectedRow(LONG iRow) = 0;
    virtual HRESULT get_SelectedCol(LONG* piCol) = 0;
    virtual HRESULT put_SelectedCol(LONG iCol) = 0;
    // Whether the keyboard and the mouse open editors.
    virtual HRESULT get_Editable(VARIANT_BOOL* pvbEditable) = 0;
    virtual HRESULT put_Editable(VARIANT_BOOL vbEditable) = 0;
    // An index outside 0..RowCount appends.
    virtual HRESULT InsertRow(LONG iIndex) = 0;
    virtual HRESULT DeleteRow(LONG iIndex) = 0;
    virtual HRESULT DeleteAllRows() = 0;
    // Opens an editor on the selected cell, asking the host which one
    // (QueryCellEditor). E_FAIL with no selected row or no window; S_FALSE
    // when the host wants no editor or one is open already.
    virtual HRESULT OpenEditor() = 0;
    // S_OK when the editor closed or none was open; S_FALSE when the host
    // kept it open.
    virtual HRESULT CloseEditor(VARIANT_BOOL vbSaveChanges) = 0;
};

// Dispatch ids of _ISimpleGridControlEvents.
enum SimpleGridEventDispId : LONG {
    DISPID_SIMPLEGRID_ONLBUTTONDBLCLK = 0x64,
    DISPID_SIMPLEGRID_CONTEXTMENU = 0x65,
    DISPID_SIMPLEGRID_QUERYCELLEDITOR = 0x66,
    DISPID_SIMPLEGRID_INITEDITEDITOR = 0x6E,
    DISPID_SIMPLEGRID_CLOSEEDITEDITOR = 0x6F,
    DISPID_SIMPLEGRID_INITCOMBOEDITOR = 0x78,
    DISPID_SIMPLEGRID_CLOSECOMBOEDITOR = 0x79,
    DISPID_SIMPLEGRID_COMBOSELCHANGE = 0x7A,
};

// Outgoing events of the grid. A sink may call back into the grid from any
// of them. A failing result counts as "the event did not succeed": an
// editor whose Init event fails stays hidden, a failing Close event
// consents to closing.
struct _ISimpleGridControlEvents : IUnknown {
    QMX_INTERFACE_ID("{5B5E825E-96FA-44E4-9EEB-2FF855A531FD}");

    // A double click while the grid is not editable.
    virtual HRESULT OnLButtonDblClk() = 0;
    // A context-menu request at a point in screen coordinates.
    virtual HRESULT ContextMenu(LONG xPos, LONG yPos) = 0;
    // Which editor the cell gets; preset to etNone.
    virtual HRESULT QueryCellEditor(LONG iRow, LONG iCol, _CellEditorType* pCellEditorType) = 0;
    virtual HRESULT InitEditEditor(LONG iRow, LONG iCol, ISimpleGridEditParam* pParam) = 0;
    // *pvbClose is preset to VARIANT_TRUE; VARIANT_FALSE keeps the editor
    // open.
    virtual HRESULT CloseEditEditor(LONG iRow, LONG iCol, VARIANT_BOOL vbSaveChanges, ISimpleGridEditParam* pParam,
                                    VARIANT_BOOL* pvbClose) = 0;
    virtual HRESULT InitComboEditor(LONG iRow, LONG iCol, ISimpleGridComboParam* pParam) = 0;
    virtual HRESULT CloseComboEditor(LONG iRow, LONG iCol, VARIANT_BOOL vbSaveChanges, ISimpleGridComboParam* pParam,
                                     VARIANT_BOOL* pvbClose) = 0;
    // The user selected another item in the open combo editor.
    virtual HRESULT ComboSelChange(LONG iRow, LONG iCol, LONG ItemID) = 0;
};

// The connection point of _ISimpleGridControlEvents, answered by the grid.
struct ISimpleGridControlEventSource : IUnknown {
    QMX_INTERFACE_ID("{6E26407A-1957-485A-A448-9CB74F857274}");

    // E_POINTER for a null sink or cookie pointer.
    virtual HRESULT Advise(_ISimpleGridControlEvents* pSink, DWORD* pdwCookie) = 0;
    // CONNECT_E_NOCONNECTION for an unknown cookie.
    virtual HRESULT Unadvise(DWORD dwCookie) = 0;
};

// Drawing the grid without a window of its own: the container gives the
// painter and the rectangle (in the painter's pixels). The grid then draws
// its own sunken border when Border is on.
struct ISimpleGridView : IUnknown {
    QMX_INTERFACE_ID("{B5E34C13-7A91-43AE-A972-D3B5BFF190BE}");

    // E_POINTER for a null painter; an empty rectangle draws nothing.
    virtual HRESULT Draw(QPainter* painter, LONG left, LONG top, LONG right, LONG bottom) = 0;
};
