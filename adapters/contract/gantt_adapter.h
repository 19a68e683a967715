// The document adapter contract: what the display application calls on
// every adapter. The application discovers adapters under the registry key
// kAdaptersKey, creates each by the ProgID named by a sub-key and calls
// Connect at once.
//
// Calling order: Connect; then FileNew or FileOpen begins a document; while
// it is current, one notification (FilePropertiesUpdate .. DocumentViewUpdate)
// after each change of the model, which already shows the new state; FileSave,
// FileSaveAs, FileExport on the user's command; FileClose ends the document
// and the adapter empties the model; Disconnect once at the end.
//
// A failing file operation sets the per-thread error object (interface ID of
// IGanttAdapter, source = GetName, description = the message for the user).
#pragma once

#include "adapters/contract/adapter_doc_types.h"
#include "adapters/contract/document_data.h"
#include "automation/unknown.h"
#include "model/model_interfaces.h"

namespace qmx {
// One empty sub-key per adapter, named after its version-independent ProgID.
inline constexpr const char* kAdaptersKey = "SOFTWARE/QMX/QMXGanttDisplay/Adapters";
}  // namespace qmx

struct IGanttAdapter : IUnknown {
    QMX_INTERFACE_ID("{EAE76371-D688-4B13-A149-665ECAA044FA}");

    // A document (new or opened) is current.
    virtual HRESULT get_DocIsOpened(VARIANT_BOOL* pvbOpened) = 0;
    // The document has changes the adapter has not saved yet.
    virtual HRESULT get_IsModified(VARIANT_BOOL* pvbModified) = 0;
    // Full path of the current file; a placeholder name for a new document.
    virtual HRESULT get_FileName(BSTR* pbsFileName) = 0;
    virtual HRESULT get_SupportsAutocorrectTaskDates(VARIANT_BOOL* pvbSupports) = 0;
    virtual HRESULT get_SupportsMatchColors(VARIANT_BOOL* pvbSupports) = 0;
    virtual HRESULT get_SupportsTaskNotes(VARIANT_BOOL* pvbSupports) = 0;

    // The adapter keeps pAppTaskData uncounted until Disconnect.
    virtual HRESULT Connect(IDocumentData* pAppTaskData) = 0;
    virtual HRESULT Disconnect() = 0;
    virtual HRESULT GetName(BSTR* pbsName) = 0;
    virtual HRESULT GetDescription(BSTR* pbsDescription) = 0;
    virtual HRESULT GetDocTypes(IAdapterDocTypes** ppDocTypes) = 0;

    // The current document has never been saved to a file.
    virtual HRESULT get_FileIsNew(VARIANT_BOOL* pvbNew) = 0;
    virtual HRESULT FileNew(LONG iDocTypeIndex) = 0;
    virtual HRESULT FileOpen(LONG iDocTypeIndex, const BSTR& bsFileName) = 0;
    virtual HRESULT FileSave() = 0;
    virtual HRESULT FileSaveAs(const BSTR& bsFileName) = 0;
    // Writes a copy; the current file stays current.
    virtual HRESULT FileExport(LONG iDocTypeIndex, const BSTR& bsFileName) = 0;
    // Ends the document and empties the model.
    virtual HRESULT FileClose() = 0;

    // Notifications of model changes, made after the change.
    virtual HRESULT FilePropertiesUpdate() = 0;
    virtual HRESULT TaskNew(LONG NewTaskID) = 0;
    virtual HRESULT TaskDelete(LONG TaskID) = 0;
    virtual HRESULT TaskMove(LONG TaskID) = 0;
    virtual HRESULT TaskUpdate(LONG TaskID) = 0;
    virtual HRESULT TaskDependencyLink(LONG SourceTaskID, LONG DependentTaskID, QMXDependencyType DependencyType) = 0;
    virtual HRESULT TaskDependencyUnlink(LONG SourceTaskID, LONG DependentTaskID) = 0;
    virtual HRESULT TaskDependencyUpdate(LONG SourceTaskID, LONG DependentTaskID) = 0;
    virtual HRESULT TaskResourceNew(LONG TaskID, LONG ResourceID) = 0;
    virtual HRESULT TaskResourceDelete(LONG TaskID, LONG ResourceID) = 0;
    virtual HRESULT TaskResourceUpdate(LONG TaskID, LONG ResourceID) = 0;
    virtual HRESULT ResourceNew(LONG ResourceID) = 0;
    virtual HRESULT ResourceDelete(LONG ResourceID) = 0;
    virtual HRESULT ResourceUpdate(LONG ResourceID) = 0;
    virtual HRESULT DocumentViewUpdate() = 0;
    // Reads the document again into the model.
    virtual HRESULT Refresh() = 0;
};
