#include "app/document/tests/test_adapters.h"

#include <map>

#include "adapters/contract/doc_type_list.h"
#include "adapters/contract/gantt_adapter.h"
#include "adapters/contract/hosted_adapter.h"
#include "automation/bstr.h"
#include "automation/class_factory.h"
#include "automation/error_info.h"
#include "automation/runtime/component_exports.h"
#include "automation/runtime/registration.h"
#include "automation/runtime/registry_store.h"

namespace qmx::testing {

namespace {

constexpr DocType kTypesA[] = {{"Plan A", "Plan A (*.pln)", "pln"}, {"Text A", "Text A (*.txt)", "txt"}};
constexpr DocType kTypesB[] = {{"Plan B", "Plan B (*.pln)", "pln"}, {"Map B", "Map B (*.map)", "map"}};
constexpr DocType kTypesC[] = {{"Plan C", "Plan C (*.ccc)", "ccc"}};

struct ClassEntry {
    CLSID clsid;
    const char* progId;
    const char* letter;
    std::span<const DocType> types;
};

const ClassEntry kClasses[] = {
    {MakeGuid("{A1D0C3B2-0001-4E55-9A10-6B1C2D3E4F01}"), kAdapterA, "A", kTypesA},
    {MakeGuid("{A1D0C3B2-0002-4E55-9A10-6B1C2D3E4F02}"), kAdapterB, "B", kTypesB},
    {MakeGuid("{A1D0C3B2-0003-4E55-9A10-6B1C2D3E4F03}"), kAdapterC, "C", kTypesC},
};

std::map<std::string, AdapterProfile>& Profiles()
{
    static std::map<std::string, AdapterProfile> profiles;
    return profiles;
}

std::string Text(const BSTR& text) { return BstrToUtf8(text); }

class TestAdapter final : public ComObject<IGanttAdapter, IHostedAdapter> {
public:
    explicit TestAdapter(const ClassEntry& entry) : entry_(entry) {}

    HRESULT QueryInterface(REFIID riid, void** ppv) override
    {
        if (riid == IHostedAdapter::iid && !Own().hosted) {
            if (ppv) *ppv = nullptr;
            return E_NOINTERFACE;
        }
        return ComObject::QueryInterface(riid, ppv);
    }

    HRESULT get_DocIsOpened(VARIANT_BOOL* p) override { return Answer(p, opened_); }
    HRESULT get_IsModified(VARIANT_BOOL* p) override { return Answer(p, modified_); }
    HRESULT get_FileName(BSTR* p) override
    {
        if (!p) return E_POINTER;
        *p = fileName_;
        return S_OK;
    }
    HRESULT get_SupportsAutocorrectTaskDates(VARIANT_BOOL* p) override { return Answer(p, true); }
    HRESULT get_SupportsMatchColors(VARIANT_BOOL* p) override { return Answer(p, Own().supportsMatchColors); }
    HRESULT get_SupportsTaskNotes(VARIANT_BOOL* p) override { return Answer(p, true); }
    HRESULT Connect(IDocumentData* data) override
    {
        Note("Connect");
        if (FAILED(Own().connectResult)) return Own().connectResult;
        data_ = data;
        return S_OK;
    }
    HRESULT Disconnect() override
    {
        data_ = nullptr;
        return Note("Disconnect");
    }
    HRESULT GetName(BSTR* p) override { return p ? (*p = Utf8ToBstr(entry_.letter), S_OK) : E_INVALIDARG; }
    HRESULT GetDescription(BSTR* p) override { return p ? (*p = u"Test adapter", S_OK) : E_INVALIDARG; }
    HRESULT GetDocTypes(IAdapterDocTypes** pp) override
    {
        if (!pp) return E_INVALIDARG;
        ComPtr<IAdapterDocTypes> types = MakeObject<CDocTypeList>(entry_.types);
        return types.CopyTo(pp);
    }
    HRESULT get_FileIsNew(VARIANT_BOOL* p) override { return Answer(p, isNew_); }
    HRESULT FileNew(LONG index) override
    {
        Note("FileNew", index);
        if (FAILED(Own().fileNewResult)) return Fail(Own().fileNewResult);
        Begin(u"Untitled", true);
        return S_OK;
    }
    HRESULT FileOpen(LONG index, const BSTR& name) override
    {
        Note("FileOpen " + std::to_string(index) + " " + Text(name));
        if (FAILED(Own().fileOpenResult)) {
            // A half-read file: the application must not keep it.
            AddTask(u"half read");
            return Fail(Own().fileOpenResult);
        }
        Begin(name, false);
        AddTask(u"opened");
        return S_OK;
    }
    HRESULT FileSave() override
    {
        Note("FileSave");
        if (FAILED(Own().fileSaveResult)) return Fail(Own().fileSaveResult);
        modified_ = false;
        return S_OK;
    }
    HRESULT FileSaveAs(const BSTR& name) override
    {
        Note("FileSaveAs " + Text(name));
        if (FAILED(Own().fileSaveResult)) return Fail(Own().fileSaveResult);
        fileName_ = name;
        isNew_ = false;
        modified_ = false;
        return S_OK;
    }
    HRESULT FileExport(LONG index, const BSTR& name) override
    {
        return Note("FileExport " + std::to_string(index) + " " + Text(name));
    }
    HRESULT FileClose() override
    {
        Note("FileClose");
        opened_ = isNew_ = modified_ = false;
        fileName_.clear();
        if (data_) data_->DeleteContents();
        return S_OK;
    }
    HRESULT FilePropertiesUpdate() override { return Changed("FilePropertiesUpdate"); }
    HRESULT TaskNew(LONG id) override { return Changed("TaskNew", id); }
    HRESULT TaskDelete(LONG id) override { return Changed("TaskDelete", id); }
    HRESULT TaskMove(LONG id) override { return Changed("TaskMove", id); }
    HRESULT TaskUpdate(LONG id) override { return Changed("TaskUpdate", id); }
    HRESULT TaskDependencyLink(LONG s, LONG d, QMXDependencyType t) override
    {
        return Changed("TaskDependencyLink", s, d, t);
    }
    HRESULT TaskDependencyUnlink(LONG s, LONG d) override
    {
        // Whether the model still held the link when the adapter heard of it.
        return Changed(std::string("TaskDependencyUnlink") + (Linked(s, d) ? "(held)" : ""), s, d);
    }
    HRESULT TaskDependencyUpdate(LONG s, LONG d) override { return Changed("TaskDependencyUpdate", s, d); }
    HRESULT TaskResourceNew(LONG t, LONG r) override { return Changed("TaskResourceNew", t, r); }
    HRESULT TaskResourceDelete(LONG t, LONG r) override { return Changed("TaskResourceDelete", t, r); }
    HRESULT TaskResourceUpdate(LONG t, LONG r) override { return Changed("TaskResourceUpdate", t, r); }
    HRESULT ResourceNew(LONG id) override { return Changed("ResourceNew", id); }
    HRESULT ResourceDelete(LONG id) override { return Changed("ResourceDelete", id); }
    HRESULT ResourceUpdate(LONG id) override { return Changed("ResourceUpdate", id); }
    HRESULT DocumentViewUpdate() override { return Changed("DocumentViewUpdate"); }
    HRESULT Refresh() override { return Note("Refresh"); }

    // IHostedAdapter
    HRESULT SupportsHostApp(const BSTR& host, VARIANT_BOOL* p) override
    {
        Note("SupportsHostApp " + Text(host));
        return Answer(p, Text(host) == Own().servedHost);
    }
    HRESULT ConnectHostApp(IUnknown*, const BSTR& host, const VARIANT& additional) override
    {
        Note("ConnectHostApp " + Text(host) + (IsEmpty(additional) ? " empty" : " value"));
        if (FAILED(Own().connectHostResult)) return Own().connectHostResult;
        Begin(u"host document", false);
        return S_OK;
    }
    HRESULT DisconnectHostApp() override { return Note("DisconnectHostApp"); }

private:
    AdapterProfile& Own() const { return Profile(entry_.progId); }
    static HRESULT Answer(VARIANT_BOOL* p, bool value) { return p ? (*p = ToVariantBool(value), S_OK) : E_POINTER; }

    template <class... Args>
    HRESULT Note(const std::string& call, Args... args)
    {
        std::string line = std::string(entry_.letter) + " " + call;
        ((line += ' ', line += std::to_string(static_cast<long long>(args))), ...);
        Journal().push_back(line);
        return S_OK;
    }
    template <class... Args>
    HRESULT Changed(const std::string& call, Args... args)
    {
        if (Own().modifiedAfterChange) modified_ = true;
        return Note(call, args...);
    }
    HRESULT Fail(HRESULT hr)
    {
        if (!Own().failureDescription.empty())
            SetErrorInfo(IGanttAdapter::iid, Utf8ToBstr(entry_.letter), Utf8ToBstr(Own().failureDescription));
        return hr;
    }
    void Begin(const BSTR& name, bool isNew)
    {
        opened_ = true;
        isNew_ = isNew;
        modified_ = false;
        fileName_ = name;
    }
    void AddTask(const BSTR& name)
    {
        ComPtr<ITaskTree> tree;
        ComPtr<ITask> task;
        if (data_ && SUCCEEDED(data_->get_TaskTree(tree.ReleaseAndGetAddressOf())))
            tree->AddTask(0, -1, name, task.ReleaseAndGetAddressOf());
    }
    bool Linked(LONG source, LONG dependent) const
    {
        ComPtr<ITaskTree> tree;
        ComPtr<ITask> task;
        ComPtr<ITaskDependencies> successors;
        ComPtr<ITaskDependency> link;
        return data_ && SUCCEEDED(data_->get_TaskTree(tree.ReleaseAndGetAddressOf())) &&
               SUCCEEDED(tree->GetTask(source, task.ReleaseAndGetAddressOf())) &&
               SUCCEEDED(task->get_Successors(successors.ReleaseAndGetAddressOf())) &&
               successors->GetDependencyByTaskID(dependent, link.ReleaseAndGetAddressOf()) == S_OK;
    }

    const ClassEntry& entry_;
    IDocumentData* data_ = nullptr;
    bool opened_ = false;
    bool isNew_ = false;
    bool modified_ = false;
    BSTR fileName_;
};

class TestAdapterFactory final : public ComObject<IClassFactory> {
public:
    explicit TestAdapterFactory(const ClassEntry& entry) : entry_(entry) {}
    HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override
    {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        return MakeObject<TestAdapter>(entry_)->QueryInterface(riid, ppv);
    }
    HRESULT LockServer(bool) override { return S_OK; }

private:
    const ClassEntry& entry_;
};

}  // namespace

AdapterProfile& Profile(const std::string& progId) { return Profiles()[progId]; }

void ResetProfiles()
{
    Profiles().clear();
    Journal().clear();
}

std::vector<std::string>& Journal()
{
    static std::vector<std::string> journal;
    return journal;
}

std::vector<std::string> JournalOf(const std::string& prefix)
{
    std::vector<std::string> lines;
    for (const std::string& line : Journal())
        if (line.rfind(prefix, 0) == 0) lines.push_back(line);
    return lines;
}

void RegisterTestAdapters(RegistryStore& store, const std::vector<std::string>& listed)
{
    const std::string library = ModulePath(reinterpret_cast<const void*>(&RegisterTestAdapters));
    for (const ClassEntry& entry : kClasses)
        RegisterInprocServer(store, ClassInfo{entry.clsid, std::string(entry.progId) + ".1", entry.progId, "test"},
                             library);
    store.DeleteKey(kAdaptersKey);
    store.CreateKey(kAdaptersKey);
    for (const std::string& progId : listed) store.CreateKey(std::string(kAdaptersKey) + "/" + progId);
}

}  // namespace qmx::testing

QMX_EXPORT HRESULT DllGetClassObject(const CLSID* rclsid, const IID* riid, void** ppv)
{
    if (!rclsid || !riid || !ppv) return E_POINTER;
    *ppv = nullptr;
    for (const auto& entry : qmx::testing::kClasses)
        if (entry.clsid == *rclsid)
            return qmx::MakeObject<qmx::testing::TestAdapterFactory>(entry)->QueryInterface(*riid, ppv);
    return CLASS_E_CLASSNOTAVAILABLE;
}
