// An adapter that serves the test host: its ConnectHostApp reads the host's
// map name through the host object, across the process boundary, while the
// host still waits in Connect. Every other call does nothing.
#include "adapters/contract/gantt_adapter.h"
#include "adapters/contract/hosted_adapter.h"
#include "app/server/tests/test_host.h"
#include "automation/class_factory.h"
#include "automation/runtime/component_exports.h"

namespace {

using namespace qmx;

class HostedTestAdapter final : public ComObject<IGanttAdapter, IHostedAdapter> {
public:
    HRESULT get_DocIsOpened(VARIANT_BOOL* p) override { return Answer(p, false); }
    HRESULT get_IsModified(VARIANT_BOOL* p) override { return Answer(p, false); }
    HRESULT get_FileName(BSTR* p) override { return p ? (*p = name_, S_OK) : E_POINTER; }
    HRESULT get_SupportsAutocorrectTaskDates(VARIANT_BOOL* p) override { return Answer(p, true); }
    HRESULT get_SupportsMatchColors(VARIANT_BOOL* p) override { return Answer(p, false); }
    HRESULT get_SupportsTaskNotes(VARIANT_BOOL* p) override { return Answer(p, false); }
    HRESULT Connect(IDocumentData*) override { return S_OK; }
    HRESULT Disconnect() override { return S_OK; }
    HRESULT GetName(BSTR* p) override { return p ? (*p = u"Hosted test", S_OK) : E_POINTER; }
    HRESULT GetDescription(BSTR* p) override { return p ? (*p = u"Hosted test adapter", S_OK) : E_POINTER; }
    HRESULT GetDocTypes(IAdapterDocTypes** p) override { return p ? (*p = nullptr, E_NOTIMPL) : E_POINTER; }
    HRESULT get_FileIsNew(VARIANT_BOOL* p) override { return Answer(p, false); }
    HRESULT FileNew(LONG) override { return E_NOTIMPL; }
    HRESULT FileOpen(LONG, const BSTR&) override { return E_NOTIMPL; }
    HRESULT FileSave() override { return E_NOTIMPL; }
    HRESULT FileSaveAs(const BSTR&) override { return E_NOTIMPL; }
    HRESULT FileExport(LONG, const BSTR&) override { return E_NOTIMPL; }
    HRESULT FileClose() override { return S_OK; }
    HRESULT FilePropertiesUpdate() override { return S_OK; }
    HRESULT TaskNew(LONG) override { return S_OK; }
    HRESULT TaskDelete(LONG) override { return S_OK; }
    HRESULT TaskMove(LONG) override { return S_OK; }
    HRESULT TaskUpdate(LONG) override { return S_OK; }
    HRESULT TaskDependencyLink(LONG, LONG, QMXDependencyType) override { return S_OK; }
    HRESULT TaskDependencyUnlink(LONG, LONG) override { return S_OK; }
    HRESULT TaskDependencyUpdate(LONG, LONG) override { return S_OK; }
    HRESULT TaskResourceNew(LONG, LONG) override { return S_OK; }
    HRESULT TaskResourceDelete(LONG, LONG) override { return S_OK; }
    HRESULT TaskResourceUpdate(LONG, LONG) override { return S_OK; }
    HRESULT ResourceNew(LONG) override { return S_OK; }
    HRESULT ResourceDelete(LONG) override { return S_OK; }
    HRESULT ResourceUpdate(LONG) override { return S_OK; }
    HRESULT DocumentViewUpdate() override { return S_OK; }
    HRESULT Refresh() override { return S_OK; }

    HRESULT SupportsHostApp(const BSTR& host, VARIANT_BOOL* p) override
    {
        return Answer(p, host == u"QMXTest.Host.1");
    }
    HRESULT ConnectHostApp(IUnknown* pHostApp, const BSTR&, const VARIANT& additional) override
    {
        if (!IsEmpty(additional)) return E_INVALIDARG;
        ComPtr<ITestHost> host;
        RETURN_IF_FAILED(QueryTo(pHostApp, host.ReleaseAndGetAddressOf()));
        RETURN_IF_FAILED(host->get_MapName(&name_));  // the host waits in Connect meanwhile
        host_ = host;
        return name_ == u"host map" ? S_OK : E_FAIL;
    }
    HRESULT DisconnectHostApp() override
    {
        host_ = nullptr;
        return S_OK;
    }

private:
    static HRESULT Answer(VARIANT_BOOL* p, bool value) { return p ? (*p = ToVariantBool(value), S_OK) : E_POINTER; }

    ComPtr<ITestHost> host_;
    BSTR name_;
};

}  // namespace

QMX_EXPORT HRESULT DllGetClassObject(const CLSID* rclsid, const IID* riid, void** ppv)
{
    if (!rclsid || !riid || !ppv) return E_POINTER;
    *ppv = nullptr;
    qmx::testing::RegisterTestHostFace();
    return qmx::GetClassObjectFor<HostedTestAdapter>(*rclsid, qmx::testing::kHostedAdapterClsid, *riid, ppv);
}
