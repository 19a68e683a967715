// A test add-in for the map host: it adds the command "TestCommand", places
// it when asked to, and when run adds the topic "Added by add-in" to the
// active map. The command is enabled while a map is open. Every call it
// receives is written to a log that tests read through QmxTestAddInLog.
#include <string>

#include "automation/class_factory.h"
#include "automation/runtime/component_exports.h"
#include "maphost/api/map_interfaces.h"

namespace {

constexpr CLSID kClsid = qmx::MakeGuid("{5B1D7E0C-3F4A-4C59-9E41-7A2D1C0B6E11}");
std::string g_log;

class TestAddIn final : public qmx::ComObject<IDTExtensibility2, IMmCommandSink> {
public:
    HRESULT OnConnection(IUnknown* pApplication, LONG connectMode, IUnknown*, const std::vector<VARIANT>& custom) override
    {
        const bool place = !custom.empty() && std::holds_alternative<bool>(custom[0]) && std::get<bool>(custom[0]);
        g_log += "OnConnection(" + std::to_string(connectMode) + (place ? ",place" : "") + ");";
        if (FAILED(pApplication->QueryInterface(IMmApplication::iid, reinterpret_cast<void**>(app_.ReleaseAndGetAddressOf()))))
            return E_NOINTERFACE;
        qmx::ComPtr<IMmCommands> commands;
        app_->get_Commands(commands.ReleaseAndGetAddressOf());
        commands->Add(u"QMX.TestMapAddIn", u"TestCommand", command_.ReleaseAndGetAddressOf());
        command_->put_Caption(u"&Test Command");
        qmx::ComPtr<IMmConnectionPoint> point;
        command_->get_ConnectionPoint(point.ReleaseAndGetAddressOf());
        point->Advise(static_cast<IMmCommandSink*>(this), &cookie_);
        if (place) {
            qmx::ComPtr<IMmUserInterfaces> items;
            app_->get_UserInterfaces(items.ReleaseAndGetAddressOf());
            qmx::ComPtr<IMmUserInterface> item;
            items->Item(3, item.ReleaseAndGetAddressOf());
            qmx::ComPtr<IMmUiControls> controls;
            item->get_Controls(controls.ReleaseAndGetAddressOf());
            controls->Add(command_.Get(), 0);
        }
        return S_OK;
    }
    HRESULT OnDisconnection(LONG removeMode, const std::vector<VARIANT>&) override
    {
        g_log += "OnDisconnection(" + std::to_string(removeMode) + ");";
        qmx::ComPtr<IMmConnectionPoint> point;
        if (command_) command_->get_ConnectionPoint(point.ReleaseAndGetAddressOf());
        if (point) point->Unadvise(cookie_);
        command_ = nullptr;
        app_ = nullptr;
        return S_OK;
    }
    HRESULT OnAddInsUpdate(const std::vector<VARIANT>&) override { return S_OK; }
    HRESULT OnStartupComplete(const std::vector<VARIANT>&) override
    {
        g_log += "OnStartupComplete;";
        return S_OK;
    }
    HRESULT OnBeginShutdown(const std::vector<VARIANT>&) override
    {
        g_log += "OnBeginShutdown;";
        return S_OK;
    }

    HRESULT OnRun() override
    {
        g_log += "OnRun;";
        qmx::ComPtr<IMmDocument> document;
        if (app_->get_ActiveDocument(document.ReleaseAndGetAddressOf()) != S_OK) return S_OK;
        qmx::ComPtr<IMmTopic> central, added;
        document->get_CentralTopic(central.ReleaseAndGetAddressOf());
        return central->AddSubTopic(u"Added by add-in", added.ReleaseAndGetAddressOf());
    }
    HRESULT OnUpdateState(VARIANT_BOOL* pEnabled, VARIANT_BOOL* pChecked) override
    {
        qmx::ComPtr<IMmDocuments> documents;
        app_->get_Documents(VARIANT_FALSE, documents.ReleaseAndGetAddressOf());
        LONG count = 0;
        documents->get_Count(&count);
        *pEnabled = ToVariantBool(count > 0);
        *pChecked = VARIANT_FALSE;
        return S_OK;
    }

private:
    qmx::ComPtr<IMmApplication> app_;
    qmx::ComPtr<IMmCommand> command_;
    DWORD cookie_ = 0;
};

}  // namespace

QMX_EXPORT HRESULT DllGetClassObject(const CLSID* rclsid, const IID* riid, void** ppv)
{
    return qmx::GetClassObjectFor<TestAddIn>(*rclsid, kClsid, *riid, ppv);
}
QMX_EXPORT HRESULT DllRegisterServer() { return S_OK; }
QMX_EXPORT HRESULT DllUnregisterServer() { return S_OK; }
QMX_EXPORT const char* QmxTestAddInLog() { return g_log.c_str(); }
