#include "maphost/app/add_in_manager.h"

#include <cstdio>

#include "automation/bstr.h"
#include "automation/error_info.h"
#include "automation/runtime/activation.h"

namespace qmx::map {

namespace {

// A command belongs to the add-in whose ProgID is its own, or its own with a
// version number after it ("Some.AddIn" and "Some.AddIn.1").
bool BelongsTo(const BSTR& commandProgId, const std::string& addInProgId)
{
    const std::string command = BstrToUtf8(commandProgId);
    if (command == addInProgId) return true;
    if (addInProgId.size() <= command.size() + 1 || addInProgId.compare(0, command.size(), command) != 0) return false;
    if (addInProgId[command.size()] != '.') return false;
    return addInProgId.find_first_not_of("0123456789", command.size() + 1) == std::string::npos;
}

}  // namespace

AddInManager::AddInManager(MapApplication* application, RegistryStore store)
    : application_(application), store_(std::move(store))
{
}

AddInManager::~AddInManager() { Shutdown(); }

std::vector<AddInEntry> AddInManager::List() const
{
    std::vector<AddInEntry> entries;
    for (const std::string& progId : store_.SubKeys(kAddInsKey)) {
        const std::string key = std::string(kAddInsKey) + "/" + progId;
        AddInEntry entry;
        entry.progId = progId;
        entry.friendlyName = store_.GetString(key, "FriendlyName").value_or(progId);
        entry.description = store_.GetString(key, "Description").value_or("");
        entry.loadBehavior = store_.GetNumber(key, "LoadBehavior").value_or(0);
        entry.loaded = IsLoaded(progId);
        entries.push_back(std::move(entry));
    }
    return entries;
}

HRESULT AddInManager::Load(const std::string& progId, LONG connectMode, std::string* why)
{
    if (IsLoaded(progId)) return S_FALSE;
    ClearErrorInfo();
    ComPtr<IDTExtensibility2> addIn;
    CLSID clsid{};
    HRESULT hr = CLSIDFromProgID(store_, progId, &clsid);
    if (SUCCEEDED(hr)) hr = CreateInstance(store_, clsid, IDTExtensibility2::iid, reinterpret_cast<void**>(addIn.ReleaseAndGetAddressOf()));
    if (SUCCEEDED(hr)) {
        const std::vector<VARIANT> custom{VARIANT(true)};
        hr = addIn->OnConnection(static_cast<IMmApplication*>(application_), connectMode, nullptr, custom);
    }
    if (FAILED(hr)) {
        if (why) {
            const auto info = GetErrorInfo();
            char code[32];
            std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(hr));
            *why = info && !info->description.empty() ? BstrToUtf8(info->description)
                                                       : std::string("The add-in could not be loaded (") + code + ").";
        }
        return hr;
    }
    loaded_.emplace(progId, addIn);
    return S_OK;
}

HRESULT AddInManager::Unload(const std::string& progId, LONG removeMode)
{
    const auto found = loaded_.find(progId);
    if (found == loaded_.end()) return S_FALSE;
    ComPtr<IDTExtensibility2> addIn = std::move(found->second);
    loaded_.erase(found);
    addIn->OnDisconnection(removeMode, {});
    addIn = nullptr;
    MapUiControls& controls = application_->UserInterfaces().AddIns().Controls();
    std::vector<MapCommand*> theirs;
    for (const auto& command : controls.Commands()) {
        if (BelongsTo(command->ProgId(), progId)) theirs.push_back(command.Get());
    }
    for (MapCommand* command : theirs) controls.Remove(command);
    return S_OK;
}

void AddInManager::LoadAtStartup()
{
    std::vector<std::string> started;
    for (const AddInEntry& entry : List()) {
        if ((entry.loadBehavior & kLoadAtStartup) != 0 && Load(entry.progId, kConnectStartup) == S_OK)
            started.push_back(entry.progId);
    }
    for (const std::string& progId : started) {
        const auto found = loaded_.find(progId);
        if (found != loaded_.end()) found->second->OnStartupComplete({});
    }
}

void AddInManager::Shutdown()
{
    std::vector<std::string> progIds;
    for (const auto& [progId, addIn] : loaded_) progIds.push_back(progId);
    for (const std::string& progId : progIds) {
        const auto found = loaded_.find(progId);
        if (found != loaded_.end()) {
            ComPtr<IDTExtensibility2> addIn = found->second;
            addIn->OnBeginShutdown({});
        }
    }
    for (const std::string& progId : progIds) Unload(progId, kDisconnectHostShutdown);
}

}  // namespace qmx::map
