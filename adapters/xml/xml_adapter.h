// The XML adapter: the document adapter for the system's own project files
// ("QMXG document" *.qmxg and "XML document" *.xml, one format). It reads a
// whole file into the model on open, only notes changes as they are made,
// and writes the whole model back on save.
#pragma once

#include <memory>

#include "adapters/contract/gantt_adapter.h"
#include "automation/com_object.h"

namespace qmx::xml {

inline constexpr CLSID kXmlAdapterClsid = MakeGuid("{F7843670-8FC0-41F9-A99D-A8CE1AD940A0}");
inline constexpr const char* kXmlAdapterProgId = "QMXGanttDisplay.XmlAdapter.1";
inline constexpr const char* kXmlAdapterVersionIndependentProgId = "QMXGanttDisplay.XmlAdapter";
inline constexpr const char* kXmlAdapterDescription = "QMXXmlAdapter Class";

class CDocumentFile;

class CXmlAdapter final : public ComObject<IGanttAdapter> {
public:
    CXmlAdapter();

    HRESULT get_DocIsOpened(VARIANT_BOOL* pvbOpened) override;
    HRESULT get_IsModified(VARIANT_BOOL* pvbModified) override;
    HRESULT get_FileName(BSTR* pbsFileName) override;
    HRESULT get_SupportsAutocorrectTaskDates(VARIANT_BOOL* pvbSupports) override;
    HRESULT get_SupportsMatchColors(VARIANT_BOOL* pvbSupports) override;
    HRESULT get_SupportsTaskNotes(VARIANT_BOOL* pvbSupports) override;
    HRESULT Connect(IDocumentData* pAppTaskData) override;
    HRESULT Disconnect() override;
    HRESULT GetName(BSTR* pbsName) override;
    HRESULT GetDescription(BSTR* pbsDescription) override;
    HRESULT GetDocTypes(IAdapterDocTypes** ppDocTypes) override;
    HRESULT get_FileIsNew(VARIANT_BOOL* pvbNew) override;
    HRESULT FileNew(LONG iDocTypeIndex) override;
    HRESULT FileOpen(LONG iDocTypeIndex, const BSTR& bsFileName) override;
    HRESULT FileSave() override;
    HRESULT FileSaveAs(const BSTR& bsFileName) override;
    HRESULT FileExport(LONG iDocTypeIndex, const BSTR& bsFileName) override;
    HRESULT FileClose() override;
    HRESULT FilePropertiesUpdate() override;
    HRESULT TaskNew(LONG NewTaskID) override;
    HRESULT TaskDelete(LONG TaskID) override;
    HRESULT TaskMove(LONG TaskID) override;
    HRESULT TaskUpdate(LONG TaskID) override;
    HRESULT TaskDependencyLink(LONG SourceTaskID, LONG DependentTaskID, QMXDependencyType DependencyType) override;
    HRESULT TaskDependencyUnlink(LONG SourceTaskID, LONG DependentTaskID) override;
    HRESULT TaskDependencyUpdate(LONG SourceTaskID, LONG DependentTaskID) override;
    HRESULT TaskResourceNew(LONG TaskID, LONG ResourceID) override;
    HRESULT TaskResourceDelete(LONG TaskID, LONG ResourceID) override;
    HRESULT TaskResourceUpdate(LONG TaskID, LONG ResourceID) override;
    HRESULT ResourceNew(LONG ResourceID) override;
    HRESULT ResourceDelete(LONG ResourceID) override;
    HRESULT ResourceUpdate(LONG ResourceID) override;
    HRESULT DocumentViewUpdate() override;
    HRESULT Refresh() override;

protected:
    ~CXmlAdapter() override;

private:
    HRESULT DoFileOpen(const BSTR& bsFileName);
    HRESULT DoFileSave();
    HRESULT DoFileSaveAs(const BSTR& bsFileName);
    HRESULT DoFileExport(const BSTR& bsFileName);
    // Replaces the file's content with the project; sets the error object on
    // failure, with the message given for a temporary file that cannot be made.
    HRESULT WriteProjectTo(const CDocumentFile& file, const char* whenNotCreated);
    // Writes the project to the named file, creating it unless it is the
    // document's own, and hands the file out on success.
    HRESULT WriteTo(const BSTR& bsFileName, std::shared_ptr<CDocumentFile>* written);
    HRESULT MarkModified();

    IDocumentData* data_ = nullptr;  // not counted: the application outlives the connection
    bool opened_ = false;
    bool isNew_ = false;
    bool modified_ = false;
    BSTR fileName_;
    std::shared_ptr<CDocumentFile> file_;  // the open document's file and its lock
    ComPtr<IAdapterDocTypes> docTypes_;
};

}  // namespace qmx::xml
