// The host's add-ins: the libraries registered under its add-in key, loaded
// in-process through IDTExtensibility2.
//
//   SOFTWARE/Mindjet/MindManager/5/AddIns/<ProgID>
//       FriendlyName, Description (strings), LoadBehavior (number; the value
//       2 loads the add-in when the host starts), CommandLineSafe (number)
#pragma once

#include <map>
#include <string>
#include <vector>

#include "automation/com_ptr.h"
#include "automation/runtime/registry_store.h"
#include "maphost/store/map_application.h"

namespace qmx::map {

inline constexpr const char* kAddInsKey = "SOFTWARE/Mindjet/MindManager/5/AddIns";
inline constexpr std::uint32_t kLoadAtStartup = 2;

struct AddInEntry {
    std::string progId;
    std::string friendlyName;
    std::string description;
    std::uint32_t loadBehavior = 0;
    bool loaded = false;
};

class AddInManager {
public:
    explicit AddInManager(MapApplication* application, RegistryStore store = RegistryStore());
    ~AddInManager();
    AddInManager(const AddInManager&) = delete;
    AddInManager& operator=(const AddInManager&) = delete;

    // The registered add-ins, in ProgID order.
    std::vector<AddInEntry> List() const;
    // Creates the add-in by its ProgID and connects it (custom array: true,
    // place your commands). A failure leaves it unloaded; `why` says why.
    HRESULT Load(const std::string& progId, LONG connectMode, std::string* why = nullptr);
    // Disconnects and releases it, and takes its commands off the add-ins'
    // menu. S_FALSE when it was not loaded.
    HRESULT Unload(const std::string& progId, LONG removeMode);
    bool IsLoaded(const std::string& progId) const { return loaded_.contains(progId); }

    // Loads every add-in registered to load at start, then tells each that
    // the start is complete.
    void LoadAtStartup();
    // Tells each add-in that the host is going, then disconnects them all.
    void Shutdown();

private:
    MapApplication* application_;
    RegistryStore store_;
    std::map<std::string, ComPtr<IDTExtensibility2>> loaded_;
};

}  // namespace qmx::map
