// The map host's application object: its open maps with the active one,
// the event manager, the commands and the user-interface items.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "automation/com_object.h"
#include "maphost/api/map_interfaces.h"
#include "maphost/api/map_window.h"
#include "maphost/store/map_commands.h"
#include "maphost/store/map_document.h"
#include "maphost/store/map_events.h"

namespace qmx::map {

class MapApplication;

class MapDocuments final : public EmbeddedObject<IMmDocuments> {
public:
    explicit MapDocuments(MapApplication* application);
    HRESULT get_Count(LONG* pCount) override;
    HRESULT Item(LONG index, IMmDocument** ppDocument) override;
    HRESULT Add(LONG flags, IMmDocument** ppDocument) override;
    HRESULT Open(const BSTR& fileName, const BSTR& password, VARIANT_BOOL readOnly,
                 IMmDocument** ppDocument) override;

private:
    MapApplication* application_;
};

class MapApplication final : public ComObject<IMmApplication, IMmApplicationWindow> {
public:
    MapApplication();
    ~MapApplication() override;

    HRESULT get_Documents(VARIANT_BOOL flag, IMmDocuments** ppDocuments) override;
    HRESULT get_ActiveDocument(IMmDocument** ppDocument) override;
    HRESULT get_EventManager(IMmEventManager** ppManager) override;
    HRESULT get_Commands(IMmCommands** ppCommands) override;
    HRESULT get_UserInterfaces(IMmUserInterfaces** ppItems) override;
    HRESULT get_MainWindowHandle(std::int64_t* pHandle) override;
    HRESULT get_Visible(VARIANT_BOOL* pVisible) override;
    HRESULT put_Visible(VARIANT_BOOL visible) override;

    // A new empty map ("Map1", "Map2"...), made active.
    HRESULT NewDocument(ComPtr<MapDocument>* pDocument);
    // Opens a map file (the one already open when it is), made active. A
    // file that cannot be read fails with the reason as the error.
    HRESULT OpenDocument(const std::string& path, bool readOnly, ComPtr<MapDocument>* pDocument);
    // Makes the document the active one; document event 128 when it was not.
    void Activate(MapDocument* document);
    // Closes the document: events 64 and 256, then 128 for the map that
    // becomes active in its place.
    void CloseDocument(MapDocument* document);

    const std::vector<ComPtr<MapDocument>>& Documents() const { return documents_; }
    MapDocument* ActiveDocument() const { return active_; }
    MapEventManager& Events() { return *events_; }
    MapCommands& Commands() { return *commands_; }
    MapUserInterfaces& UserInterfaces() { return *userInterfaces_; }
    void SetMainWindowHandle(std::int64_t handle) { windowHandle_ = handle; }
    // The window that IMmApplicationWindow shows and hides: how to read and
    // set its visibility (both empty: no window).
    struct WindowVisibility {
        std::function<bool()> get;
        std::function<void(bool)> set;
    };
    void SetWindowVisibility(WindowVisibility visibility) { visibility_ = std::move(visibility); }

private:
    void FireDocumentEvent(LONG kind, MapDocument* document);

    MapDocuments documentsObject_{this};
    std::vector<ComPtr<MapDocument>> documents_;
    MapDocument* active_ = nullptr;
    int lastMapNumber_ = 0;
    std::int64_t windowHandle_ = 0;
    WindowVisibility visibility_;
    ComPtr<MapEventManager> events_;
    ComPtr<MapCommands> commands_;
    ComPtr<MapUserInterfaces> userInterfaces_;
};

}  // namespace qmx::map
