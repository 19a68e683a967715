#include "app/document/view_commands.h"

#include "app/dialogs/text_dialogs.h"
#include "app/document/document_state.h"

namespace qmx {

namespace {

using VisibleGet = HRESULT (IGanttChartControl::*)(VARIANT_BOOL*);
using VisiblePut = HRESULT (IGanttChartControl::*)(VARIANT_BOOL);

bool IsOn(IGanttChartControl* control, VisibleGet get)
{
    VARIANT_BOOL on = VARIANT_FALSE;
    return control && SUCCEEDED((control->*get)(&on)) && on == VARIANT_TRUE;
}

HRESULT Invert(IGanttChartControl* control, VisibleGet get, VisiblePut put)
{
    if (!control) return E_FAIL;
    return (control->*put)(ToVariantBool(!IsOn(control, get)));
}

using TreeGet = HRESULT (ITaskTree::*)(VARIANT_BOOL*);
using TreePut = HRESULT (ITaskTree::*)(VARIANT_BOOL);

bool TreeFlag(ITaskTree* tree, TreeGet get)
{
    VARIANT_BOOL on = VARIANT_FALSE;
    return tree && SUCCEEDED((tree->*get)(&on)) && on == VARIANT_TRUE;
}

}  // namespace

template <class Change, class Tell>
HRESULT ViewCommands::ThenTell(Change change, Tell tell)
{
    const HRESULT hr = change();
    if (hr != S_OK) return hr;
    if (IGanttAdapter* adapter = state_.Adapter()) tell(adapter);
    return S_OK;
}

HRESULT ViewCommands::ShowView(QMXGanttChartView view)
{
    return state_.control ? state_.control->put_CurrentView(view) : E_FAIL;
}

HRESULT ViewCommands::ToggleTreePane()
{
    return Invert(state_.control.Get(), &IGanttChartControl::get_TreePaneVisible,
                  &IGanttChartControl::put_TreePaneVisible);
}

HRESULT ViewCommands::ToggleTimelinePane()
{
    return Invert(state_.control.Get(), &IGanttChartControl::get_TimelinePaneVisible,
                  &IGanttChartControl::put_TimelinePaneVisible);
}

HRESULT ViewCommands::ToggleChartPane()
{
    return Invert(state_.control.Get(), &IGanttChartControl::get_GanttChartPaneVisible,
                  &IGanttChartControl::put_GanttChartPaneVisible);
}

bool ViewCommands::TreePaneVisible() const
{
    return IsOn(state_.control.Get(), &IGanttChartControl::get_TreePaneVisible);
}

bool ViewCommands::TimelinePaneVisible() const
{
    return IsOn(state_.control.Get(), &IGanttChartControl::get_TimelinePaneVisible);
}

bool ViewCommands::ChartPaneVisible() const
{
    return IsOn(state_.control.Get(), &IGanttChartControl::get_GanttChartPaneVisible);
}

HRESULT ViewCommands::ZoomIn()
{
    if (!state_.control) return E_FAIL;
    return ThenTell([&] { return state_.control->ZoomIn(); }, [](IGanttAdapter* a) { a->DocumentViewUpdate(); });
}

HRESULT ViewCommands::ZoomOut()
{
    if (!state_.control) return E_FAIL;
    return ThenTell([&] { return state_.control->ZoomOut(); }, [](IGanttAdapter* a) { a->DocumentViewUpdate(); });
}

bool ViewCommands::AutocorrectOn() const
{
    return TreeFlag(state_.TaskTree().Get(), &ITaskTree::get_AutocorrectTaskDates);
}

bool ViewCommands::MatchColorsOn() const { return TreeFlag(state_.TaskTree().Get(), &ITaskTree::get_MatchColors); }

HRESULT ViewCommands::ToggleAutocorrect()
{
    const ComPtr<ITaskTree> tree = state_.TaskTree();
    if (!tree) return E_FAIL;
    return ThenTell([&] { return tree->put_AutocorrectTaskDates(ToVariantBool(!AutocorrectOn())); },
                    [](IGanttAdapter* a) { a->FilePropertiesUpdate(); });
}

HRESULT ViewCommands::ToggleMatchColors()
{
    const ComPtr<ITaskTree> tree = state_.TaskTree();
    if (!tree) return E_FAIL;
    return ThenTell([&] { return tree->put_MatchColors(ToVariantBool(!MatchColorsOn())); },
                    [](IGanttAdapter* a) { a->FilePropertiesUpdate(); });
}

HRESULT ViewCommands::Refresh()
{
    IGanttAdapter* adapter = state_.Adapter();
    return adapter ? adapter->Refresh() : E_FAIL;
}

HRESULT ViewCommands::DocumentProperties(IDocumentProperties* properties)
{
    return EditDocumentProperties(state_.ui, properties, state_.Adapter()) ? S_OK : S_FALSE;
}

}  // namespace qmx
