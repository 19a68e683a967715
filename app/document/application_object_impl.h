// The class behind CreateApplicationObject. One object answers IApplication
// for hosts, IDocumentData and IAdapterSite for the adapters, IAppCommands
// for the main frame and the chart control's events, and is the
// IDisplayController of DisplayApp.
#pragma once

#include "adapters/contract/adapter_site.h"
#include "adapters/contract/document_data.h"
#include "app/app_commands.h"
#include "app/display_controller.h"
#include "app/document/application_interface.h"
#include "app/document/command_table.h"
#include "app/document/document_properties.h"
#include "app/document/document_state.h"
#include "automation/com_object.h"

namespace qmx {

class ApplicationObject final
    : public ComObject<IApplication, IDocumentData, IAdapterSite, IAppCommands, _IGanttChartControlEvents>,
      public IDisplayController {
public:
    ApplicationObject(const RegistryStore& store, UserInterface& ui, ApplicationShell& shell);

    // Registers the clipboard formats; false when that fails.
    bool Construct();

    DocumentState& State() { return state_; }
    CommandTable& Commands() { return commands_; }

    // IApplication
    HRESULT Connect(IUnknown* pHostApp, const BSTR& bsHostAppId, LONG hwndHost,
                    const VARIANT& varAdditional) override;
    HRESULT Disconnect() override;
    HRESULT get_Visible(VARIANT_BOOL* pvbVisible) override;
    HRESULT put_Visible(VARIANT_BOOL vbVisible) override;
    HRESULT get_Hwnd(LONG* phWnd) override;
    HRESULT Quit() override;

    // IDocumentData
    HRESULT get_TaskTree(ITaskTree** ppTaskTree) override;
    HRESULT get_Resources(IResources** ppResources) override;
    HRESULT get_Properties(IDocumentProperties** ppProperties) override;
    HRESULT get_IsModified(VARIANT_BOOL* pvbModified) override;
    HRESULT DeleteContents() override;
    HRESULT AdjustTimeRange() override;
    HRESULT ResetTimeRange() override;
    HRESULT get_CurrentViewSettings(BSTR* pbsSettings) override;
    HRESULT put_CurrentViewSettings(const BSTR& bsSettings) override;
    HRESULT ExpandTask(ITask* pTask, VARIANT_BOOL vbExpand) override;

    // IAdapterSite
    HRESULT DocumentClosed() override;
    HRESULT DocumentNameChanged() override;

    // IAppCommands
    HRESULT Close() override;
    HRESULT Execute(LONG iOperation) override;
    HRESULT QueryState(LONG iOperation, VARIANT_BOOL* pvbEnabled, LONG* pnChecked) override;

    // _IGanttChartControlEvents
    HRESULT TaskDblClick(ITask* pTask) override;
    HRESULT TaskTreeKeyDown(LONG nKey, VARIANT_BOOL* pvbHandled) override;
    HRESULT TaskTreeContextMenu(LONG xPos, LONG yPos) override;
    HRESULT ResourceDblClick(IResource* pResource) override;
    HRESULT ResourceListContextMenu(LONG xPos, LONG yPos) override;
    HRESULT TaskChanged(ITask* pTask) override;
    HRESULT TaskResourceDeleted(ITaskResource* pTaskResource) override;
    HRESULT TimeRangeChanged() override;

    // IDisplayController
    void AttachControl(IGanttChartControl* pControl) override;
    HRESULT Initialize() override;
    HRESULT OpenDocument(const BSTR& bsFileName) override;
    bool CanClose() override;
    HRESULT Shutdown(bool force, bool* canExit) override;
    bool IsStandalone() override { return state_.standalone; }

private:
    ~ApplicationObject() override;

    // The control's events no longer reach this object.
    void Unadvise();
    // Marks the user control and creates the main window when there is none.
    bool EnsureMainWindow();
    void SetStandalone(bool standalone);

    DocumentState state_;
    DocumentProperties properties_;
    CommandTable commands_;
};

}  // namespace qmx
