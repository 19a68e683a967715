#include "app/document/file_commands.h"

#include "app/document/application_shell.h"
#include "app/document/document_paths.h"
#include "app/document/document_state.h"
#include "app/document/message_ids.h"
#include "app/document/message_text.h"
#include "app/document/wait_cursor.h"
#include "app/user_interface.h"
#include "automation/error_info.h"

namespace qmx {

bool FileCommands::CloseOpenDocument()
{
    if (!state_.IsOpen()) return true;
    bool refused = false;
    Close(&refused);
    return !refused;
}

HRESULT FileCommands::New()
{
    if (!CloseOpenDocument()) return S_FALSE;
    const std::vector<DocTypeChoice> choices = state_.adapters.Choices();
    if (choices.empty()) {
        ShowMessage(state_.ui, kMsgNoDocumentTypes, MessageIcon::Exclamation);
        return S_FALSE;
    }
    std::vector<std::u16string> names;
    names.reserve(choices.size());
    for (const DocTypeChoice& choice : choices) names.push_back(choice.name);
    const std::optional<int> chosen = state_.ui.ChooseDocumentType(names, false);
    if (!chosen || *chosen < 0 || static_cast<std::size_t>(*chosen) >= choices.size()) return S_FALSE;
    const DocTypeChoice& choice = choices[static_cast<std::size_t>(*chosen)];

    WaitCursor wait(state_.ui);
    ClearErrorInfo();
    const HRESULT hr = choice.adapter->FileNew(choice.index);
    if (FAILED(hr)) {
        // Whatever the adapter began is not a document: nothing half made stays.
        state_.documentData->DeleteContents();
        ShowAdapterError(state_.ui);
        return hr;
    }
    state_.currentAdapter = choice.adapter;
    state_.currentDocType = choice.index;
    BSTR title;
    if (FAILED(choice.adapter->get_FileName(&title))) title.clear();
    state_.ShowDocumentWindow(title);
    return S_OK;
}

HRESULT FileCommands::Open()
{
    const BSTR filter = state_.adapters.OpenFilter();
    if (filter.empty()) {
        ShowMessage(state_.ui, kMsgNoDocumentTypes, MessageIcon::Exclamation);
        return S_FALSE;
    }
    const std::optional<std::u16string> path = state_.ui.GetOpenFileName(filter);
    if (!path) return S_FALSE;
    return OpenByName(*path);
}

HRESULT FileCommands::OpenByName(const BSTR& fileName)
{
    WaitCursor wait(state_.ui);
    const BSTR absolute = AbsoluteFileName(fileName);
    BSTR extension;
    std::optional<DocTypeChoice> choice;
    if (FileExtension(absolute, &extension)) choice = state_.adapters.FindByExtension(extension);
    if (!choice) {
        ShowMessage(state_.ui, kMsgNoAdapterForFile, MessageIcon::Error);
        return E_FAIL;
    }
    if (!CloseOpenDocument()) return S_FALSE;

    ClearErrorInfo();
    const HRESULT hr = choice->adapter->FileOpen(choice->index, fileName);
    if (FAILED(hr)) {
        state_.documentData->DeleteContents();
        ShowAdapterError(state_.ui);
        return hr;
    }
    state_.currentAdapter = choice->adapter;
    state_.currentDocType = choice->index;
    state_.shell.AddRecentFile(absolute);
    state_.ShowDocumentWindow(FileNamePart(absolute));
    return S_OK;
}

HRESULT FileCommands::Save()
{
    IGanttAdapter* adapter = state_.Adapter();
    if (!adapter) return E_FAIL;
    VARIANT_BOOL isNew = VARIANT_FALSE;
    const HRESULT newHr = adapter->get_FileIsNew(&isNew);
    if (FAILED(newHr)) return newHr;
    if (isNew == VARIANT_TRUE) return SaveAs();

    WaitCursor wait(state_.ui);
    ClearErrorInfo();
    const HRESULT hr = adapter->FileSave();
    if (FAILED(hr)) ShowAdapterError(state_.ui);
    return hr;
}

HRESULT FileCommands::SaveAs()
{
    const ComPtr<IGanttAdapter> adapter = state_.currentAdapter;
    if (!adapter) return E_FAIL;
    BSTR extension;
    const BSTR filter = AdapterList::SaveFilter(adapter.Get(), state_.currentDocType, &extension);
    BSTR initialName;
    if (FAILED(adapter->get_FileName(&initialName))) initialName.clear();
    const std::optional<std::u16string> path = state_.ui.GetSaveFileName(filter, extension, initialName);
    if (!path) return S_FALSE;

    WaitCursor wait(state_.ui);
    ClearErrorInfo();
    const HRESULT hr = adapter->FileSaveAs(*path);
    if (FAILED(hr)) {
        ShowAdapterError(state_.ui);
        return hr;
    }
    const BSTR absolute = AbsoluteFileName(*path);
    state_.shell.AddRecentFile(absolute);
    state_.shell.SetDocumentTitle(FileNamePart(absolute));
    return S_OK;
}

HRESULT FileCommands::Export()
{
    const std::vector<DocTypeChoice> choices =
        state_.adapters.Choices(state_.currentAdapter.Get(), state_.currentDocType);
    if (choices.empty()) {
        ShowMessage(state_.ui, kMsgNoDocumentTypes, MessageIcon::Exclamation);
        return S_FALSE;
    }
    std::vector<std::u16string> names;
    names.reserve(choices.size());
    for (const DocTypeChoice& choice : choices) names.push_back(choice.name);
    const std::optional<int> chosen = state_.ui.ChooseDocumentType(names, true);
    if (!chosen || *chosen < 0 || static_cast<std::size_t>(*chosen) >= choices.size()) return S_FALSE;
    const DocTypeChoice& choice = choices[static_cast<std::size_t>(*chosen)];

    BSTR extension;
    const BSTR filter = AdapterList::SaveFilter(choice.adapter.Get(), choice.index, &extension);
    const std::optional<std::u16string> path = state_.ui.GetSaveFileName(filter, extension, {});
    if (!path) return S_FALSE;

    WaitCursor wait(state_.ui);
    ClearErrorInfo();
    const HRESULT hr = choice.adapter->FileExport(choice.index, *path);
    if (FAILED(hr)) ShowAdapterError(state_.ui);
    return hr;
}

bool FileCommands::PromptToSave()
{
    VARIANT_BOOL modified = VARIANT_FALSE;
    if (FAILED(state_.documentData->get_IsModified(&modified)) || modified != VARIANT_TRUE) return true;
    switch (ShowMessage(state_.ui, kMsgSaveChanges, MessageIcon::Question, MessageButtons::YesNoCancel,
                        MessageAnswer::Yes)) {
    case MessageAnswer::Yes:
        // A save that failed or whose file dialog was cancelled keeps the document.
        return Save() == S_OK;
    case MessageAnswer::No:
        return true;
    case MessageAnswer::Cancel:
    case MessageAnswer::Ok:
        break;
    }
    return false;
}

HRESULT FileCommands::Close(bool* refused)
{
    if (refused) *refused = false;
    if (!PromptToSave()) {
        if (refused) *refused = true;
        return S_FALSE;
    }
    HRESULT hr = S_OK;
    if (const ComPtr<IGanttAdapter> adapter = std::move(state_.currentAdapter)) hr = adapter->FileClose();
    state_.currentAdapter = nullptr;
    state_.ResetWindow();
    return hr;
}

}  // namespace qmx
