#include "app/document/resource_commands.h"

#include "app/dialogs/editing_commands.h"
#include "app/dialogs/text_dialogs.h"
#include "app/document/document_state.h"
#include "app/document/message_ids.h"
#include "app/document/message_text.h"

namespace qmx {

HRESULT ResourceCommands::NewResource()
{
    const ComPtr<IResources> pool = state_.Resources();
    if (!pool) return E_FAIL;
    if (!state_.InView(gcResourcesView)) state_.control->put_CurrentView(gcResourcesView);
    ComPtr<IResource> resource;
    const HRESULT hr = pool->Add(MessageText(kStrNewResourceName), resource.ReleaseAndGetAddressOf());
    if (hr != S_OK || !resource) return FAILED(hr) ? hr : E_FAIL;
    if (IGanttAdapter* adapter = state_.Adapter()) adapter->ResourceNew(IdOf(resource.Get()));
    state_.control->put_SelectedResource(resource.Get());
    EditResourceName(state_.ui, resource.Get(), state_.Adapter());
    return S_OK;
}

HRESULT ResourceCommands::DeleteResource()
{
    const ComPtr<IResources> pool = state_.Resources();
    const ComPtr<IResource> resource = state_.SelectedResource();
    if (!pool || !resource) return S_FALSE;
    const LONG id = IdOf(resource.Get());
    const HRESULT hr = pool->Delete(id);
    if (hr != S_OK) return hr;
    if (IGanttAdapter* adapter = state_.Adapter()) adapter->ResourceDelete(id);
    return S_OK;
}

HRESULT ResourceCommands::ResourceProperties()
{
    return EditSelectedResource(state_.ui, state_.control.Get(), state_.Adapter()) ? S_OK : S_FALSE;
}

}  // namespace qmx
