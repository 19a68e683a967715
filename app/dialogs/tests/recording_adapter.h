// An adapter that writes down every notification it receives, one line each
// ("TaskUpdate 3", "TaskDependencyLink 1 3 2"), and supports notes or not.
#pragma once

#include <string>
#include <vector>

#include "adapters/contract/gantt_adapter.h"
#include "automation/com_object.h"

namespace qmx::testing {

class RecordingAdapter final : public ComObject<IGanttAdapter> {
public:
    explicit RecordingAdapter(bool notes = true) : notes_(notes) {}
    std::vector<std::string> log;

    HRESULT get_DocIsOpened(VARIANT_BOOL* p) override { return Answer(p, VARIANT_TRUE); }
    HRESULT get_IsModified(VARIANT_BOOL* p) override { return Answer(p, VARIANT_FALSE); }
    HRESULT get_FileName(BSTR* p) override { return p ? (*p = u"plan.qmxg", S_OK) : E_POINTER; }
    HRESULT get_SupportsAutocorrectTaskDates(VARIANT_BOOL* p) override { return Answer(p, VARIANT_TRUE); }
    HRESULT get_SupportsMatchColors(VARIANT_BOOL* p) override { return Answer(p, VARIANT_FALSE); }
    HRESULT get_SupportsTaskNotes(VARIANT_BOOL* p) override { return Answer(p, ToVariantBool(notes_)); }
    HRESULT Connect(IDocumentData*) override { return S_OK; }
    HRESULT Disconnect() override { return S_OK; }
    HRESULT GetName(BSTR* p) override { return p ? (*p = u"Recording", S_OK) : E_INVALIDARG; }
    HRESULT GetDescription(BSTR* p) override { return p ? (*p = u"Records", S_OK) : E_INVALIDARG; }
    HRESULT GetDocTypes(IAdapterDocTypes**) override { return E_NOTIMPL; }
    HRESULT get_FileIsNew(VARIANT_BOOL* p) override { return Answer(p, VARIANT_FALSE); }
    HRESULT FileNew(LONG) override { return S_OK; }
    HRESULT FileOpen(LONG, const BSTR&) override { return S_OK; }
    HRESULT FileSave() override { return S_OK; }
    HRESULT FileSaveAs(const BSTR&) override { return S_OK; }
    HRESULT FileExport(LONG, const BSTR&) override { return S_OK; }
    HRESULT FileClose() override { return S_OK; }
    HRESULT FilePropertiesUpdate() override { return Note("FilePropertiesUpdate"); }
    HRESULT TaskNew(LONG id) override { return Note("TaskNew", id); }
    HRESULT TaskDelete(LONG id) override { return Note("TaskDelete", id); }
    HRESULT TaskMove(LONG id) override { return Note("TaskMove", id); }
    HRESULT TaskUpdate(LONG id) override { return Note("TaskUpdate", id); }
    HRESULT TaskDependencyLink(LONG s, LONG d, QMXDependencyType t) override { return Note("TaskDependencyLink", s, d, t); }
    HRESULT TaskDependencyUnlink(LONG s, LONG d) override { return Note("TaskDependencyUnlink", s, d); }
    HRESULT TaskDependencyUpdate(LONG s, LONG d) override { return Note("TaskDependencyUpdate", s, d); }
    HRESULT TaskResourceNew(LONG t, LONG r) override { return Note("TaskResourceNew", t, r); }
    HRESULT TaskResourceDelete(LONG t, LONG r) override { return Note("TaskResourceDelete", t, r); }
    HRESULT TaskResourceUpdate(LONG t, LONG r) override { return Note("TaskResourceUpdate", t, r); }
    HRESULT ResourceNew(LONG id) override { return Note("ResourceNew", id); }
    HRESULT ResourceDelete(LONG id) override { return Note("ResourceDelete", id); }
    HRESULT ResourceUpdate(LONG id) override { return Note("ResourceUpdate", id); }
    HRESULT DocumentViewUpdate() override { return Note("DocumentViewUpdate"); }
    HRESULT Refresh() override { return Note("Refresh"); }

private:
    static HRESULT Answer(VARIANT_BOOL* p, VARIANT_BOOL value) { return p ? (*p = value, S_OK) : E_POINTER; }
    template <class... Args>
    HRESULT Note(const char* name, Args... args)
    {
        std::string line = name;
        ((line += ' ', line += std::to_string(static_cast<long long>(args))), ...);
        log.push_back(line);
        return S_OK;
    }
    bool notes_;
};

}  // namespace qmx::testing
