// The host's commands (added by add-ins) and its user-interface items, on
// which commands are placed.
#pragma once

#include <functional>
#include <vector>

#include "automation/com_object.h"
#include "maphost/api/map_interfaces.h"
#include "maphost/api/map_codes.h"
#include "maphost/store/map_events.h"

namespace qmx::map {

class MapCommand final : public ComObject<IMmCommand> {
public:
    MapCommand(BSTR progId, BSTR name);
    HRESULT get_Name(BSTR* pName) override;
    HRESULT get_AddInProgId(BSTR* pProgId) override;
    HRESULT get_Caption(BSTR* pCaption) override;
    HRESULT put_Caption(const BSTR& caption) override;
    HRESULT get_ImagePath(BSTR* pPath) override;
    HRESULT put_ImagePath(const BSTR& path) override;
    HRESULT get_ConnectionPoint(IMmConnectionPoint** ppPoint) override;
    HRESULT Execute() override;
    HRESULT QueryState(VARIANT_BOOL* pEnabled, VARIANT_BOOL* pChecked) override;

    const BSTR& Name() const { return name_; }
    const BSTR& ProgId() const { return progId_; }
    const BSTR& Caption() const { return caption_; }
    const BSTR& ImagePath() const { return imagePath_; }
    // Called after the caption or the image changed (the host's window).
    std::function<void()> onChanged;

private:
    BSTR progId_;
    BSTR name_;
    BSTR caption_;
    BSTR imagePath_;
    MapConnectionPoint<IMmCommandSink> point_{this};
};

class MapCommands final : public ComObject<IMmCommands> {
public:
    HRESULT get_Count(LONG* pCount) override;
    HRESULT Item(LONG index, IMmCommand** ppCommand) override;
    HRESULT Add(const BSTR& progId, const BSTR& name, IMmCommand** ppCommand) override;

private:
    std::vector<ComPtr<MapCommand>> commands_;
};

class MapUiControls final : public EmbeddedObject<IMmUiControls> {
public:
    using EmbeddedObject::EmbeddedObject;
    HRESULT get_Count(LONG* pCount) override;
    HRESULT Item(LONG index, IMmCommand** ppCommand) override;
    HRESULT Add(IMmCommand* pCommand, LONG flags) override;

    const std::vector<ComPtr<MapCommand>>& Commands() const { return commands_; }
    // Takes a command off (its add-in was unloaded); false when not placed.
    bool Remove(MapCommand* command);
    // Called after a command was placed or taken off (the host's window).
    std::function<void()> onChanged;

private:
    std::vector<ComPtr<MapCommand>> commands_;
};

class MapUserInterface final : public ComObject<IMmUserInterface> {
public:
    explicit MapUserInterface(BSTR name);
    HRESULT get_Name(BSTR* pName) override;
    HRESULT get_Controls(IMmUiControls** ppControls) override;

    MapUiControls& Controls() { return controls_; }

private:
    BSTR name_;
    MapUiControls controls_{this};
};

// The items "Main Menu", "Standard" (the tool bar) and "Add-Ins"; item 3
// carries the add-ins' commands.
class MapUserInterfaces final : public ComObject<IMmUserInterfaces> {
public:
    MapUserInterfaces();
    HRESULT get_Count(LONG* pCount) override;
    HRESULT Item(LONG index, IMmUserInterface** ppItem) override;

    MapUserInterface& AddIns() { return *items_[kAddInsUserInterfaceItem - 1]; }

private:
    std::vector<ComPtr<MapUserInterface>> items_;
};

}  // namespace qmx::map
