#include "app/dialogs/map_grid_page.h"

#include <charconv>
#include <string>

#include <QVBoxLayout>
#include <QVariant>
#include <QWidget>

#include "app/dialogs/dialog_resources.h"
#include "app/dialogs/task_dialog_edits.h"
#include "automation/com_object.h"
#include "automation/runtime/activation.h"
#include "automation/runtime/widget_control.h"

namespace qmx {

namespace {

constexpr LONG kNameColumn = 0;
constexpr LONG kIdColumn = 1;
constexpr LONG kValueColumn = 2;
constexpr LONG kColumnCount = 3;
// Nine digits always fit the 32 bits of the units.
constexpr LONG kUnitsDigits = 9;

BSTR Decimal(LONG value)
{
    const std::string digits = std::to_string(value);
    return BSTR(digits.begin(), digits.end());
}

// Digits only; nothing for an empty text or one too long for the units.
std::optional<LONG> ParseUnits(const BSTR& text)
{
    if (text.empty() || text.size() > static_cast<std::size_t>(kUnitsDigits)) return std::nullopt;
    LONG value = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9') return std::nullopt;
        value = value * 10 + (c - u'0');
    }
    return value;
}

QStringList SplitProperty(const QWidget* widget, const char* name)
{
    return widget->property(name).toString().split(QLatin1Char('|'));
}

}  // namespace

// The grid's events, passed on to the page while it lives.
class MapGridPage::Sink final : public ComObject<_ISimpleGridControlEvents> {
public:
    explicit Sink(MapGridPage* page) : page_(page) {}
    void Disconnect() { page_ = nullptr; }

    HRESULT OnLButtonDblClk() override { return S_OK; }
    HRESULT ContextMenu(LONG, LONG) override { return S_OK; }
    HRESULT QueryCellEditor(LONG iRow, LONG iCol, _CellEditorType* pType) override
    {
        if (!pType) return E_POINTER;
        *pType = page_ ? page_->EditorFor(iRow, iCol) : etNone;
        return S_OK;
    }
    HRESULT InitEditEditor(LONG, LONG, ISimpleGridEditParam* pParam) override
    {
        if (page_ && pParam) page_->InitEdit(pParam);
        return S_OK;
    }
    HRESULT CloseEditEditor(LONG iRow, LONG, VARIANT_BOOL vbSave, ISimpleGridEditParam* pParam,
                            VARIANT_BOOL*) override
    {
        if (page_ && pParam && vbSave == VARIANT_TRUE) page_->CloseEdit(iRow, pParam);
        return S_OK;
    }
    HRESULT InitComboEditor(LONG iRow, LONG iCol, ISimpleGridComboParam* pParam) override
    {
        if (page_ && pParam) page_->InitCombo(iRow, iCol, pParam);
        return S_OK;
    }
    HRESULT CloseComboEditor(LONG iRow, LONG iCol, VARIANT_BOOL vbSave, ISimpleGridComboParam* pParam,
                             VARIANT_BOOL*) override
    {
        if (page_ && pParam && vbSave == VARIANT_TRUE) page_->CloseCombo(iRow, iCol, pParam);
        return S_OK;
    }
    HRESULT ComboSelChange(LONG, LONG, LONG) override { return S_OK; }

private:
    MapGridPage* page_;
};

MapGridPage* MapGridPage::BindPredecessors(QWidget* layout, MapPageEdits* edits, ITaskTree* tree, LONG taskId)
{
    if (!layout || !edits || !tree) return nullptr;
    return new MapGridPage(layout, edits, Kind::Predecessors, tree, nullptr, taskId);
}

MapGridPage* MapGridPage::BindResources(QWidget* layout, MapPageEdits* edits, IResources* pool)
{
    if (!layout || !edits) return nullptr;
    return new MapGridPage(layout, edits, Kind::Resources, nullptr, pool, -1);
}

MapGridPage::MapGridPage(QWidget* layout, MapPageEdits* edits, Kind kind, ITaskTree* tree, IResources* pool,
                         LONG taskId)
    : QObject(layout), layout_(layout), edits_(edits), kind_(kind), tree_(tree), pool_(pool), taskId_(taskId)
{
    CreateGrid();
}

MapGridPage::~MapGridPage()
{
    if (sink_) sink_->Disconnect();
    ComPtr<ISimpleGridControlEventSource> source;
    if (grid_ && SUCCEEDED(grid_.As(&source))) source->Unadvise(cookie_);
}

void MapGridPage::CreateGrid()
{
    QWidget* host = LayoutChild<QWidget>(layout_, "grid");
    if (!host) host = layout_;
    ComPtr<IWidgetControl> control;
    ComPtr<ISimpleGridControl> grid;
    ComPtr<ISimpleGridControlEventSource> source;
    QWidget* window = nullptr;
    if (FAILED(CreateInstance(kSimpleGridProgId, &control)) || FAILED(control.As(&grid)) ||
        FAILED(control.As(&source)) || FAILED(control->CreateControlWindow(host, &window)) || !window)
        return;
    auto* box = new QVBoxLayout(host);
    box->setContentsMargins(0, 0, 0, 0);
    box->addWidget(window);

    sink_ = MakeObject<Sink>(this);
    if (!sink_ || FAILED(source->Advise(sink_.Get(), &cookie_))) return;
    control_ = control;
    grid_ = grid;

    grid_->put_ColCount(kColumnCount);
    const QStringList headers = SplitProperty(host, "columnHeaders");
    const QStringList widths = SplitProperty(host, "columnWidths");
    for (LONG col = 0; col < kColumnCount; ++col) {
        if (col < headers.size()) grid_->put_ColHeaders(col, headers[col].toStdU16String());
        bool ok = false;
        const int width = col < widths.size() ? widths[col].toInt(&ok) : 0;
        if (ok && width > 0) grid_->put_ColWidths(col, width);
    }
    grid_->put_Editable(VARIANT_TRUE);
    FillRows();
    window->show();
}

void MapGridPage::FillRows()
{
    const auto& rows = edits_->Rows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        grid_->InsertRow(-1);
        ShowRow(static_cast<LONG>(i));
    }
    AppendEmptyRow();
    grid_->put_SelectedRow(0);
}

void MapGridPage::AppendEmptyRow()
{
    LONG count = 0;
    grid_->get_RowCount(&count);
    grid_->InsertRow(-1);
    grid_->put_CellData(count, kNameColumn, kNoItem);
}

void MapGridPage::ShowRow(LONG row)
{
    const LONG id = edits_->Rows()[static_cast<std::size_t>(row)];
    const LONG value = edits_->ValueAt(static_cast<std::size_t>(row));
    grid_->put_CellText(row, kNameColumn, ItemName(id));
    grid_->put_CellData(row, kNameColumn, id);
    grid_->put_CellText(row, kIdColumn, Decimal(id));
    grid_->put_CellText(row, kValueColumn, ValueText(value));
    grid_->put_CellData(row, kValueColumn, value);
}

BSTR MapGridPage::ItemName(LONG id) const
{
    BSTR name;
    if (kind_ == Kind::Predecessors) {
        ComPtr<ITask> task;
        if (SUCCEEDED(tree_->GetTask(id, task.ReleaseAndGetAddressOf()))) task->get_Name(&name);
    } else if (pool_) {
        ComPtr<IResource> resource;
        if (SUCCEEDED(pool_->GetResourceByID(id, resource.ReleaseAndGetAddressOf()))) resource->get_Name(&name);
    }
    return name;
}

BSTR MapGridPage::ValueText(LONG value) const
{
    return kind_ == Kind::Predecessors ? LinkTypeName(value) : Decimal(value);
}

std::vector<std::pair<LONG, BSTR>> MapGridPage::ItemsFor(LONG row) const
{
    const LONG own = edits_->IsEmptyRow(static_cast<std::size_t>(row)) ? kNoItem
                                                                       : edits_->Rows()[static_cast<std::size_t>(row)];
    std::vector<std::pair<LONG, BSTR>> items;
    const auto offer = [&](LONG id, BSTR name) {
        if (id == own || !edits_->Contains(id)) items.emplace_back(id, std::move(name));
    };
    if (kind_ == Kind::Predecessors) {
        ComPtr<IEnumTaskIDs> ids;
        if (FAILED(tree_->EnumTasks(ids.ReleaseAndGetAddressOf()))) return items;
        LONG id = -1;
        while (ids->Next(&id) == S_OK)
            if (id != taskId_) offer(id, ItemName(id));
    } else if (pool_) {
        LONG count = 0;
        pool_->get_Count(&count);
        for (LONG i = 0; i < count; ++i) {
            ComPtr<IResource> resource;
            LONG id = -1;
            BSTR name;
            if (FAILED(pool_->get_Resources(i, resource.ReleaseAndGetAddressOf())) || FAILED(resource->get_ID(&id)))
                continue;
            resource->get_Name(&name);
            offer(id, std::move(name));
        }
    }
    return items;
}

_CellEditorType MapGridPage::EditorFor(LONG row, LONG col) const
{
    if (col == kNameColumn) return etCombo;
    if (col != kValueColumn || edits_->IsEmptyRow(static_cast<std::size_t>(row))) return etNone;
    return kind_ == Kind::Predecessors ? etCombo : etEdit;
}

void MapGridPage::InitCombo(LONG row, LONG col, ISimpleGridComboParam* param)
{
    const auto index = static_cast<std::size_t>(row);
    if (col == kNameColumn) {
        param->AddItem(kNoItem, BSTR());
        for (const auto& [id, name] : ItemsFor(row)) param->AddItem(id, name);
        param->put_Selection(edits_->IsEmptyRow(index) ? kNoItem : edits_->Rows()[index]);
        return;
    }
    for (LONG type = dtStartToStart; type <= dtFinishToFinish; ++type) param->AddItem(type, LinkTypeName(type));
    param->put_Selection(edits_->ValueAt(index));
}

void MapGridPage::InitEdit(ISimpleGridEditParam* param)
{
    param->put_IsNumber(VARIANT_TRUE);
    param->put_MaxLength(kUnitsDigits);
}

void MapGridPage::CloseCombo(LONG row, LONG col, ISimpleGridComboParam* param)
{
    const auto index = static_cast<std::size_t>(row);
    LONG chosen = kNoItem;
    param->get_Selection(&chosen);
    if (col != kNameColumn) {
        if (chosen >= dtStartToStart && chosen <= dtFinishToFinish && edits_->SetValue(index, chosen))
            grid_->put_CellData(row, kValueColumn, chosen);
        param->put_Text(ValueText(edits_->ValueAt(index)));
        return;
    }
    const LONG valueForNew = kind_ == Kind::Predecessors ? kNewLinkType : kNewAssignmentUnits;
    switch (edits_->Choose(index, chosen, valueForNew)) {
    case MapPageEdits::Choice::Added:
        ShowRow(row);
        AppendEmptyRow();
        break;
    case MapPageEdits::Choice::Replaced: ShowRow(row); break;
    case MapPageEdits::Choice::Removed:
        // The grid then writes nothing into the row that takes its place.
        grid_->DeleteRow(row);
        break;
    case MapPageEdits::Choice::Nothing:
        param->put_Text(edits_->IsEmptyRow(index) ? BSTR() : ItemName(edits_->Rows()[index]));
        break;
    }
}

void MapGridPage::CloseEdit(LONG row, ISimpleGridEditParam* param)
{
    const auto index = static_cast<std::size_t>(row);
    BSTR text;
    param->get_Text(&text);
    if (const auto units = ParseUnits(text); units && edits_->SetValue(index, *units))
        grid_->put_CellData(row, kValueColumn, *units);
    // An empty text keeps the units it replaced; leading zeros go.
    param->put_Text(ValueText(edits_->ValueAt(index)));
}

void MapGridPage::CommitEditor()
{
    if (grid_) grid_->CloseEditor(VARIANT_TRUE);
}

}  // namespace qmx
