#include "maphost/store/map_commands.h"

#include <algorithm>

#include "maphost/store/map_support.h"

namespace qmx::map {

MapCommand::MapCommand(BSTR progId, BSTR name) : progId_(std::move(progId)), name_(std::move(name)) {}

HRESULT MapCommand::get_Name(BSTR* pName)
{
    if (!pName) return E_POINTER;
    *pName = name_;
    return S_OK;
}

HRESULT MapCommand::get_AddInProgId(BSTR* pProgId)
{
    if (!pProgId) return E_POINTER;
    *pProgId = progId_;
    return S_OK;
}

HRESULT MapCommand::get_Caption(BSTR* pCaption)
{
    if (!pCaption) return E_POINTER;
    *pCaption = caption_;
    return S_OK;
}

HRESULT MapCommand::put_Caption(const BSTR& caption)
{
    if (caption == caption_) return S_OK;
    caption_ = caption;
    if (onChanged) onChanged();
    return S_OK;
}

HRESULT MapCommand::get_ImagePath(BSTR* pPath)
{
    if (!pPath) return E_POINTER;
    *pPath = imagePath_;
    return S_OK;
}

HRESULT MapCommand::put_ImagePath(const BSTR& path)
{
    if (path == imagePath_) return S_OK;
    imagePath_ = path;
    if (onChanged) onChanged();
    return S_OK;
}

HRESULT MapCommand::get_ConnectionPoint(IMmConnectionPoint** ppPoint)
{
    if (!ppPoint) return E_POINTER;
    return point_.QueryInterface(IMmConnectionPoint::iid, reinterpret_cast<void**>(ppPoint));
}

HRESULT MapCommand::Execute()
{
    ComPtr<MapCommand> self(this);  // a sink may drop the last other reference
    point_.Source().Fire([](IMmCommandSink* sink) { sink->OnRun(); });
    return S_OK;
}

HRESULT MapCommand::QueryState(VARIANT_BOOL* pEnabled, VARIANT_BOOL* pChecked)
{
    if (!pEnabled || !pChecked) return E_POINTER;
    *pEnabled = VARIANT_TRUE;
    *pChecked = VARIANT_FALSE;
    ComPtr<MapCommand> self(this);
    // Every sink is asked; the last answer that succeeds counts.
    point_.Source().Fire([&](IMmCommandSink* sink) {
        VARIANT_BOOL enabled = *pEnabled;
        VARIANT_BOOL checked = *pChecked;
        if (SUCCEEDED(sink->OnUpdateState(&enabled, &checked))) {
            *pEnabled = ToVariantBool(enabled != VARIANT_FALSE);
            *pChecked = ToVariantBool(checked != VARIANT_FALSE);
        }
    });
    return S_OK;
}

HRESULT MapCommands::get_Count(LONG* pCount)
{
    if (!pCount) return E_POINTER;
    *pCount = static_cast<LONG>(commands_.size());
    return S_OK;
}

HRESULT MapCommands::Item(LONG index, IMmCommand** ppCommand)
{
    if (!ppCommand) return E_POINTER;
    *ppCommand = nullptr;
    if (index < 1 || static_cast<std::size_t>(index) > commands_.size())
        return Fail(E_INVALIDARG, IMmCommands::iid, "The command index is out of range.");
    return HandOut(commands_[index - 1], ppCommand);
}

HRESULT MapCommands::Add(const BSTR& progId, const BSTR& name, IMmCommand** ppCommand)
{
    if (!ppCommand) return E_POINTER;
    *ppCommand = nullptr;
    if (progId.empty() || name.empty())
        return Fail(E_INVALIDARG, IMmCommands::iid, "A command needs the ProgID of its add-in and a name.");
    for (const auto& command : commands_) {
        if (command->ProgId() == progId && command->Name() == name) return HandOut(command, ppCommand);
    }
    ComPtr<MapCommand> command = MakeObject<MapCommand>(progId, name);
    if (!command) return E_OUTOFMEMORY;
    commands_.push_back(command);
    return HandOut(command, ppCommand);
}

HRESULT MapUiControls::get_Count(LONG* pCount)
{
    if (!pCount) return E_POINTER;
    *pCount = static_cast<LONG>(commands_.size());
    return S_OK;
}

HRESULT MapUiControls::Item(LONG index, IMmCommand** ppCommand)
{
    if (!ppCommand) return E_POINTER;
    *ppCommand = nullptr;
    if (index < 1 || static_cast<std::size_t>(index) > commands_.size())
        return Fail(E_INVALIDARG, IMmUiControls::iid, "The control index is out of range.");
    return HandOut(commands_[index - 1], ppCommand);
}

HRESULT MapUiControls::Add(IMmCommand* pCommand, LONG)
{
    if (!pCommand) return E_POINTER;
    auto* command = dynamic_cast<MapCommand*>(pCommand);
    if (!command) return Fail(E_INVALIDARG, IMmUiControls::iid, "The command is not one of this application's.");
    if (std::any_of(commands_.begin(), commands_.end(), [&](const auto& c) { return c.Get() == command; }))
        return S_OK;
    commands_.emplace_back(command);
    if (onChanged) onChanged();
    return S_OK;
}

bool MapUiControls::Remove(MapCommand* command)
{
    const auto removed = std::erase_if(commands_, [&](const auto& c) { return c.Get() == command; });
    if (removed != 0 && onChanged) onChanged();
    return removed != 0;
}

MapUserInterface::MapUserInterface(BSTR name) : name_(std::move(name)) {}

HRESULT MapUserInterface::get_Name(BSTR* pName)
{
    if (!pName) return E_POINTER;
    *pName = name_;
    return S_OK;
}

HRESULT MapUserInterface::get_Controls(IMmUiControls** ppControls)
{
    if (!ppControls) return E_POINTER;
    *ppControls = &controls_;
    controls_.AddRef();
    return S_OK;
}

MapUserInterfaces::MapUserInterfaces()
{
    for (const char16_t* name : {u"Main Menu", u"Standard", u"Add-Ins"}) items_.push_back(MakeObject<MapUserInterface>(name));
}

HRESULT MapUserInterfaces::get_Count(LONG* pCount)
{
    if (!pCount) return E_POINTER;
    *pCount = static_cast<LONG>(items_.size());
    return S_OK;
}

HRESULT MapUserInterfaces::Item(LONG index, IMmUserInterface** ppItem)
{
    if (!ppItem) return E_POINTER;
    *ppItem = nullptr;
    if (index < 1 || static_cast<std::size_t>(index) > items_.size())
        return Fail(E_INVALIDARG, IMmUserInterfaces::iid, "The user-interface item is out of range.");
    return HandOut(items_[index - 1], ppItem);
}

}  // namespace qmx::map
