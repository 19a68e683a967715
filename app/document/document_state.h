// What the command groups of the application object share: the seams, the
// chart control, the adapters and the open document, with the questions
// every group asks about them.
#pragma once

#include <vector>

#include "adapters/contract/gantt_adapter.h"
#include "app/document/adapter_list.h"
#include "automation/com_ptr.h"
#include "chart/chart_control_interfaces.h"

namespace qmx {

class ApplicationShell;
class RegistryStore;
class UserInterface;

struct DocumentState {
    DocumentState(const RegistryStore& registry, UserInterface& seam, ApplicationShell& programShell)
        : store(registry), ui(seam), shell(programShell)
    {
    }

    const RegistryStore& store;
    UserInterface& ui;
    ApplicationShell& shell;
    // The application object's own document data, uncounted.
    IDocumentData* documentData = nullptr;

    ComPtr<IGanttChartControl> control;
    LONG chartWindow = 0;
    DWORD eventCookie = 0;
    bool advised = false;

    AdapterList adapters;
    ComPtr<IGanttAdapter> currentAdapter;
    LONG currentDocType = 0;
    bool standalone = true;
    LONG hostWindow = 0;

    // A current adapter whose DocIsOpened is VARIANT_TRUE.
    bool IsOpen() const;
    // The adapter that hears of changes; null when none is current.
    IGanttAdapter* Adapter() const { return currentAdapter.Get(); }

    ComPtr<ITaskTree> TaskTree() const;
    ComPtr<IResources> Resources() const;
    bool InView(QMXGanttChartView view) const;
    // The chart control's EnumSelectedTasks, in display order.
    std::vector<ComPtr<ITask>> SelectedTasks(bool skipChildren) const;
    // The only selected task; null unless exactly one is selected.
    ComPtr<ITask> SingleSelectedTask() const;
    // The caret task of the tree, null when none.
    ComPtr<ITask> CaretTask() const;
    ComPtr<IResource> SelectedResource() const;

    // The window as no document leaves it: empty title, the tasks view,
    // panes disabled, the time range reset.
    void ResetWindow();
    // The window of an open document: the title, panes enabled, in front.
    void ShowDocumentWindow(const BSTR& title);
    void BringToForeground();
};

LONG IdOf(ITask* task);
LONG IdOf(IResource* resource);

}  // namespace qmx
