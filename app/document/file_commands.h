// The File commands of the open document: New, Open, opening by name,
// Save, Save As, Export, Close and the prompt to save.
#pragma once

#include "automation/types.h"
#include "automation/hresult.h"

namespace qmx {

struct DocumentState;

class FileCommands {
public:
    explicit FileCommands(DocumentState& state) : state_(state) {}

    HRESULT New();
    HRESULT Open();
    // Through the adapter of the first document type with the name's
    // extension (case-sensitive). S_FALSE when the user kept the open
    // document (the prompt to save was cancelled).
    HRESULT OpenByName(const BSTR& fileName);
    HRESULT Save();
    // S_FALSE when the user cancelled the file dialog.
    HRESULT SaveAs();
    HRESULT Export();
    // The result of the adapter's FileClose; S_FALSE with *refused set when
    // the prompt to save refused.
    HRESULT Close(bool* refused = nullptr);
    // True when the document may be closed: it is not modified, or the user
    // answered No, or Yes and the save succeeded.
    bool PromptToSave();

private:
    // Closes an open document first; false when the user refused.
    bool CloseOpenDocument();

    DocumentState& state_;
};

}  // namespace qmx
