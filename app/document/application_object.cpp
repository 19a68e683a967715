#include "app/document/application_object.h"

#include "app/document/application_object_impl.h"
#include "app/document/application_shell.h"
#include "app/document/document_paths.h"

namespace qmx {

ComPtr<IApplication> CreateApplicationObject(const RegistryStore& store, UserInterface& ui, ApplicationShell& shell)
{
    ComPtr<ApplicationObject> object = MakeObject<ApplicationObject>(store, ui, shell);
    if (!object || !object->Construct()) return nullptr;
    return ComPtr<IApplication>(object.Get());
}

IDisplayController* DisplayControllerOf(IApplication* application)
{
    return dynamic_cast<ApplicationObject*>(application);
}

ApplicationObject::ApplicationObject(const RegistryStore& store, UserInterface& ui, ApplicationShell& shell)
    : state_(store, ui, shell),
      properties_(static_cast<IApplication*>(this), state_),
      commands_(state_, &properties_)
{
    state_.documentData = this;
}

ApplicationObject::~ApplicationObject()
{
    // An object released without Shutdown still lets its adapters go in order.
    state_.currentAdapter = nullptr;
    state_.adapters.RemoveAll();
}

bool ApplicationObject::Construct() { return commands_.Edits().RegisterFormats(); }

// ---------------------------------------------------------------------------
// IDisplayController

void ApplicationObject::AttachControl(IGanttChartControl* pControl)
{
    Unadvise();
    state_.control = pControl;
    state_.chartWindow = 0;
    if (!pControl) return;
    ComPtr<IGanttChartControlEventSource> source;
    if (SUCCEEDED(state_.control.As(&source)) &&
        SUCCEEDED(source->Advise(static_cast<_IGanttChartControlEvents*>(this), &state_.eventCookie)))
        state_.advised = true;
    pControl->get_Hwnd(&state_.chartWindow);
    pControl->put_PanesEnabled(VARIANT_FALSE);
}

void ApplicationObject::Unadvise()
{
    if (!state_.advised || !state_.control) return;
    state_.advised = false;
    ComPtr<IGanttChartControlEventSource> source;
    if (SUCCEEDED(state_.control.As(&source))) source->Unadvise(state_.eventCookie);
    state_.eventCookie = 0;
}

HRESULT ApplicationObject::Initialize() { return state_.adapters.Load(state_.store, this, state_.ui); }

HRESULT ApplicationObject::OpenDocument(const BSTR& bsFileName) { return commands_.Files().OpenByName(bsFileName); }

bool ApplicationObject::CanClose() { return commands_.Files().PromptToSave(); }

HRESULT ApplicationObject::Shutdown(bool force, bool* canExit)
{
    if (!canExit) return E_POINTER;
    // Kept alive: the last client may let go while the adapters disconnect.
    const ComPtr<IApplication> self(this);
    if (force || !state_.standalone) {
        // No prompt: a host's adapter keeps its document itself.
        DeleteContents();
    } else if (state_.currentAdapter) {
        bool refused = false;
        commands_.Files().Close(&refused);
        if (refused) {
            *canExit = false;
            return S_OK;
        }
    }
    *canExit = true;
    Unadvise();
    state_.currentAdapter = nullptr;
    state_.adapters.RemoveAll();
    state_.shell.DisconnectClients();
    return S_OK;
}

// ---------------------------------------------------------------------------
// IDocumentData

HRESULT ApplicationObject::get_TaskTree(ITaskTree** ppTaskTree)
{
    if (!ppTaskTree) return E_POINTER;
    *ppTaskTree = nullptr;
    return state_.control ? state_.control->get_TaskTree(ppTaskTree) : E_FAIL;
}

HRESULT ApplicationObject::get_Resources(IResources** ppResources)
{
    if (!ppResources) return E_POINTER;
    *ppResources = nullptr;
    return state_.control ? state_.control->get_Resources(ppResources) : E_FAIL;
}

HRESULT ApplicationObject::get_Properties(IDocumentProperties** ppProperties)
{
    if (!ppProperties) return E_POINTER;
    properties_.AddRef();
    *ppProperties = &properties_;
    return S_OK;
}

HRESULT ApplicationObject::get_IsModified(VARIANT_BOOL* pvbModified)
{
    if (!pvbModified) return E_POINTER;
    *pvbModified = VARIANT_FALSE;
    if (!state_.currentAdapter) return S_OK;
    VARIANT_BOOL modified = VARIANT_FALSE;
    const HRESULT hr = state_.currentAdapter->get_IsModified(&modified);
    if (FAILED(hr)) return hr;
    *pvbModified = modified == VARIANT_TRUE ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT ApplicationObject::DeleteContents()
{
    properties_.put_Name({});
    properties_.put_Description({});
    if (const ComPtr<ITaskTree> tree = state_.TaskTree()) tree->Reset();
    if (const ComPtr<IResources> pool = state_.Resources()) pool->DeleteAllResources();
    return S_OK;
}

HRESULT ApplicationObject::AdjustTimeRange() { return state_.control ? state_.control->AdjustTimeRange() : E_FAIL; }

HRESULT ApplicationObject::ResetTimeRange() { return state_.control ? state_.control->ResetTimeRange() : E_FAIL; }

HRESULT ApplicationObject::get_CurrentViewSettings(BSTR* pbsSettings)
{
    if (!pbsSettings) return E_POINTER;
    return state_.control ? state_.control->get_CurrentViewSettings(pbsSettings) : E_FAIL;
}

HRESULT ApplicationObject::put_CurrentViewSettings(const BSTR& bsSettings)
{
    return state_.control ? state_.control->put_CurrentViewSettings(bsSettings) : E_FAIL;
}

HRESULT ApplicationObject::ExpandTask(ITask* pTask, VARIANT_BOOL vbExpand)
{
    return state_.control ? state_.control->ExpandTask(pTask, vbExpand) : E_FAIL;
}

// ---------------------------------------------------------------------------
// IAdapterSite

HRESULT ApplicationObject::DocumentClosed()
{
    // The adapter emptied the model itself and expects no call back.
    const ComPtr<IGanttAdapter> closed = std::move(state_.currentAdapter);
    state_.currentAdapter = nullptr;
    state_.ResetWindow();
    return S_OK;
}

HRESULT ApplicationObject::DocumentNameChanged()
{
    if (!state_.currentAdapter) return S_OK;
    BSTR name;
    if (FAILED(state_.currentAdapter->get_FileName(&name))) return S_OK;
    state_.shell.SetDocumentTitle(name.empty() ? BSTR() : FileNamePart(AbsoluteFileName(name)));
    return S_OK;
}

// ---------------------------------------------------------------------------
// IAppCommands

HRESULT ApplicationObject::Close()
{
    if (state_.standalone) {
        state_.shell.SendExitCommand();
        return S_OK;
    }
    return put_Visible(VARIANT_FALSE);
}

HRESULT ApplicationObject::Execute(LONG iOperation)
{
    const ComPtr<IApplication> self(this);
    return commands_.Execute(iOperation);
}

HRESULT ApplicationObject::QueryState(LONG iOperation, VARIANT_BOOL* pvbEnabled, LONG* pnChecked)
{
    return commands_.QueryState(iOperation, pvbEnabled, pnChecked);
}

}  // namespace qmx
