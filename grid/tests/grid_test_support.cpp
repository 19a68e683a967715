#include "grid/tests/grid_test_support.h"

#include <dlfcn.h>

#include <cstdlib>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include "automation/bstr.h"
#include "automation/runtime/activation.h"
#include "automation/runtime/component_exports.h"
#include "automation/runtime/widget_control.h"

namespace qmx::testing {

void EnsureApplication()
{
    if (QApplication::instance()) return;
    static int argc = 1;
    static char name[] = "grid_test";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);  // lives until the program ends
}

HRESULT RegisterGridLibrary()
{
    const char* dir = std::getenv("QMX_BUILD_LIB_DIR");
    const std::string path = std::string(dir ? dir : ".") + "/libQMXSimpleGrid.so";
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) return CO_E_DLLNOTFOUND;
    const auto registerServer = reinterpret_cast<RegisterServerFn>(dlsym(library, kRegisterServerSymbol));
    return registerServer ? registerServer() : CO_E_ERRORINDLL;
}

std::string SavePicture(const QImage& image, const std::string& name)
{
    const char* dir = std::getenv("XDG_RUNTIME_DIR");
    const std::string path = std::string(dir ? dir : ".") + "/" + name + ".png";
    return image.save(QString::fromStdString(path)) ? path : std::string();
}

BSTR Text(const char* utf8) { return Utf8ToBstr(utf8); }

std::string Utf8(const BSTR& text) { return BstrToUtf8(text); }

namespace {

std::string Cell(const char* event, LONG row, LONG col)
{
    return std::string(event) + " " + std::to_string(row) + " " + std::to_string(col);
}

}  // namespace

HRESULT HostSink::OnLButtonDblClk()
{
    log.push_back("DblClk");
    if (onDblClk) onDblClk();
    return S_OK;
}

HRESULT HostSink::ContextMenu(LONG xPos, LONG yPos)
{
    log.push_back("ContextMenu");
    lastContextMenu = QPoint(xPos, yPos);
    return S_OK;
}

HRESULT HostSink::QueryCellEditor(LONG iRow, LONG iCol, _CellEditorType* pCellEditorType)
{
    log.push_back(Cell("Query", iRow, iCol) + (*pCellEditorType == etNone ? "" : " preset?"));
    if (editorFor) *pCellEditorType = editorFor(iRow, iCol);
    return S_OK;
}

HRESULT HostSink::InitEditEditor(LONG iRow, LONG iCol, ISimpleGridEditParam* pParam)
{
    log.push_back(Cell("InitEdit", iRow, iCol));
    return onInitEdit ? onInitEdit(iRow, iCol, pParam) : S_OK;
}

HRESULT HostSink::CloseEditEditor(LONG iRow, LONG iCol, VARIANT_BOOL vbSaveChanges, ISimpleGridEditParam* pParam,
                                  VARIANT_BOOL* pvbClose)
{
    log.push_back(Cell("CloseEdit", iRow, iCol) + (vbSaveChanges ? " save" : " cancel") +
                  (*pvbClose == VARIANT_TRUE ? "" : " preset?"));
    if (onCloseEdit && !onCloseEdit(iRow, iCol, vbSaveChanges != VARIANT_FALSE, pParam)) *pvbClose = VARIANT_FALSE;
    return S_OK;
}

HRESULT HostSink::InitComboEditor(LONG iRow, LONG iCol, ISimpleGridComboParam* pParam)
{
    log.push_back(Cell("InitCombo", iRow, iCol));
    return onInitCombo ? onInitCombo(iRow, iCol, pParam) : S_OK;
}

HRESULT HostSink::CloseComboEditor(LONG iRow, LONG iCol, VARIANT_BOOL vbSaveChanges, ISimpleGridComboParam* pParam,
                                   VARIANT_BOOL* pvbClose)
{
    log.push_back(Cell("CloseCombo", iRow, iCol) + (vbSaveChanges ? " save" : " cancel") +
                  (*pvbClose == VARIANT_TRUE ? "" : " preset?"));
    if (onCloseCombo && !onCloseCombo(iRow, iCol, vbSaveChanges != VARIANT_FALSE, pParam)) *pvbClose = VARIANT_FALSE;
    return S_OK;
}

HRESULT HostSink::ComboSelChange(LONG iRow, LONG iCol, LONG ItemID)
{
    log.push_back(Cell("SelChange", iRow, iCol) + " " + std::to_string(ItemID));
    return S_OK;
}

GridFixture::GridFixture(int width, int height)
{
    EnsureApplication();
    if (FAILED(CreateInstance(kSimpleGridVersionIndependentProgId, &grid)) || !grid) return;
    host = new QWidget;
    host->resize(width + 20, height + 20);
    Query<IWidgetControl>()->CreateControlWindow(host, &window);
    if (window) window->setGeometry(10, 10, width, height);
    host->show();
    Activate();
    sink = MakeObject<HostSink>();
    Query<ISimpleGridControlEventSource>()->Advise(sink.Get(), &cookie);
}

GridFixture::~GridFixture()
{
    if (grid) Query<ISimpleGridControlEventSource>()->Unadvise(cookie);
    grid.Reset();
    delete host;
}

void GridFixture::Fill(LONG rows, LONG cols, LONG width)
{
    grid->put_ColCount(cols);
    for (LONG c = 0; c < cols; ++c) grid->put_ColWidths(c, width);
    for (LONG r = 0; r < rows; ++r) {
        grid->InsertRow(r);
        for (LONG c = 0; c < cols; ++c) {
            grid->put_CellText(r, c, Text(("r" + std::to_string(r) + "c" + std::to_string(c)).c_str()));
        }
    }
}

LONG ExpectedRowHeight()
{
    // Rows are as high as a closed drop-down list in the grid's font (the
    // UI font at 11 pixels): the rule, computed apart from the grid.
    EnsureApplication();
    QFont font = QApplication::font();
    font.setPixelSize(11);
    font.setWeight(QFont::Normal);
    QComboBox probe;
    probe.setFont(font);
    return probe.sizeHint().height();
}

LONG GridFixture::RowHeight() const { return ExpectedRowHeight(); }

QPoint GridFixture::CellCenter(LONG row, LONG col, LONG width) const
{
    LONG top = 0;
    grid->get_TopRow(&top);
    VARIANT_BOOL border = VARIANT_FALSE;
    grid->get_Border(&border);
    const int edge = border ? 1 : 0;
    const LONG r = RowHeight();
    return QPoint(edge + col * width + width / 2, edge + (row - top + 1) * r + r / 2);
}

void GridFixture::Activate() const
{
    host->activateWindow();
    if (!QTest::qWaitForWindowActive(host)) qWarning("the grid's host window did not become active");
}

void DoubleClick(QWidget* widget, QPoint at)
{
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(widget, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, at);
}

LONG GridFixture::Selected() const
{
    LONG row = 0;
    grid->get_SelectedRow(&row);
    return row;
}

LONG GridFixture::SelectedCol() const
{
    LONG col = 0;
    grid->get_SelectedCol(&col);
    return col;
}

LONG GridFixture::Top() const
{
    LONG top = 0;
    grid->get_TopRow(&top);
    return top;
}

std::string GridFixture::CellText(LONG row, LONG col) const
{
    BSTR text;
    if (FAILED(grid->get_CellText(row, col, &text))) return "<invalid>";
    return Utf8(text);
}

QWidget* GridFixture::ShownEditor() const
{
    for (QWidget* editor : {static_cast<QWidget*>(window->findChild<QLineEdit*>()),
                            static_cast<QWidget*>(window->findChild<QComboBox*>())}) {
        if (editor && editor->isVisible()) return editor;
    }
    return nullptr;
}

}  // namespace qmx::testing
