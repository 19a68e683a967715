// The map adapter: the document adapter that shows a map of the
// mind-mapping application as a project plan and keeps both in step. In
// own mode it launches the application itself and opens or creates maps
// there; in hosted mode the application started the display program and
// hands itself over through IHostedAdapter, and the adapter follows its
// active map.
#pragma once

#include <deque>

#include "adapters/contract/gantt_adapter.h"
#include "adapters/contract/hosted_adapter.h"
#include "adapters/mindmanager/map_launcher.h"
#include "adapters/mindmanager/map_sync.h"
#include "automation/com_object.h"
#include "maphost/api/map_interfaces.h"

namespace qmx::mm {

inline constexpr CLSID kMm5AdapterClsid = MakeGuid("{C63189BC-D4BC-467C-A4D3-D7A8828A2B70}");
inline constexpr const char* kMm5AdapterProgId = "QMXGanttDisplay.Mm5Adapter.1";
inline constexpr const char* kMm5AdapterVersionIndependentProgId = "QMXGanttDisplay.Mm5Adapter";
inline constexpr const char* kMm5AdapterDescription = "QMXMm5Adapter Class";
inline constexpr const char* kMm5AdapterName = "QMXMm5Adapter";

class CEventSink;

class CMm5Adapter final : public ComObject<IGanttAdapter, IHostedAdapter> {
public:
    CMm5Adapter();

    // Replaces the way own mode launches the application (tests, and hosts
    // reached another way).
    void SetLauncher(ApplicationLauncher launcher) { launcher_ = std::move(launcher); }
    const MapMemory& Memory() const { return sync_.Memory(); }

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

    HRESULT SupportsHostApp(const BSTR& bsHostAppId, VARIANT_BOOL* pvbSupports) override;
    HRESULT ConnectHostApp(IUnknown* pHostApp, const BSTR& bsHostAppId, const VARIANT& varAdditional) override;
    HRESULT DisconnectHostApp() override;

    // The event sinks' way in.
    void OnTopicEvent(IUnknown* pEvent);
    void OnDocumentEvent(IUnknown* pEvent);

protected:
    ~CMm5Adapter() override;

private:
    struct Subscription {
        ComPtr<IMmEventSubscription> subscription;
        ComPtr<CEventSink> sink;
        DWORD cookie = 0;
    };

    // A topic event as it arrived, kept until no write is under way.
    struct TopicEvent {
        LONG kind = 0;
        LONG phase = 0;
        ComPtr<IMmDocument> document;
        ComPtr<IMmTopic> topic;
    };

    HRESULT Launch();
    void SetApplication(ComPtr<IMmApplication> application);
    void ApplyDeferredEvents();
    HRESULT RegisterSinks();
    void UnregisterSinks();
    HRESULT Subscribe(IMmEventManager* manager, LONG mask, bool topics, Subscription* out);
    bool IsHeldDocument(IUnknown* document) const;
    void ReleaseDocument();
    // The application's process went away: its map is gone with it.
    void HostLost();
    template <class Write>
    HRESULT Forward(Write&& write);

    MapSync sync_;
    ComPtr<IMmApplication> application_;
    bool isNew_ = false;
    bool hosted_ = false;
    // The application lives in another process: events reach the adapter
    // as messages, never those of its own calls.
    bool remote_ = false;
    std::deque<TopicEvent> deferredEvents_;
    Subscription topicEvents_;
    Subscription documentEvents_;
    ComPtr<IAdapterDocTypes> docTypes_;
    ApplicationLauncher launcher_;
};

}  // namespace qmx::mm
