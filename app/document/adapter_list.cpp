#include "app/document/adapter_list.h"

#include "app/document/message_ids.h"
#include "app/document/message_text.h"
#include "app/user_interface.h"
#include "automation/bstr.h"
#include "automation/runtime/activation.h"
#include "automation/runtime/registry_store.h"

namespace qmx {

namespace {

ComPtr<IAdapterDocTypes> DocTypesOf(IGanttAdapter* adapter)
{
    ComPtr<IAdapterDocTypes> types;
    if (!adapter || FAILED(adapter->GetDocTypes(types.ReleaseAndGetAddressOf()))) return nullptr;
    return types;
}

LONG CountOf(IAdapterDocTypes* types)
{
    LONG count = 0;
    return SUCCEEDED(types->get_Count(&count)) && count > 0 ? count : 0;
}

// "Filter|*.ext|" of one type; false when either text cannot be read.
bool AppendFilter(IAdapterDocTypes* types, LONG index, BSTR& filter)
{
    BSTR name;
    BSTR extension;
    if (FAILED(types->get_FilterNames(index, &name)) || FAILED(types->get_Extensions(index, &extension))) return false;
    filter += name + u"|*." + extension + u"|";
    return true;
}

}  // namespace

HRESULT AdapterList::Load(const RegistryStore& store, IDocumentData* data, UserInterface& ui)
{
    RemoveAll();
    if (!store.KeyExists(kAdaptersKey)) {
        ui.ShowMessage(MessageText(kMsgAdaptersKeyMissing, {u"HKEY_LOCAL_MACHINE", Utf8ToBstr(kAdaptersKey)}),
                       MessageButtons::Ok, MessageIcon::Error, MessageAnswer::Ok);
        return E_FAIL;
    }
    for (const std::string& progId : store.SubKeys(kAdaptersKey)) {
        CLSID clsid{};
        ComPtr<IGanttAdapter> adapter;
        const bool loaded =
            SUCCEEDED(CLSIDFromProgID(store, progId, &clsid)) &&
            SUCCEEDED(CreateInstance(store, clsid, IGanttAdapter::iid,
                                     reinterpret_cast<void**>(adapter.ReleaseAndGetAddressOf()))) &&
            adapter && SUCCEEDED(adapter->Connect(data));
        if (loaded) {
            adapters_.push_back(adapter);
        } else {
            ui.ShowMessage(MessageText(kMsgAdapterNotLoaded, {Utf8ToBstr(progId)}), MessageButtons::Ok,
                           MessageIcon::Error, MessageAnswer::Ok);
        }
    }
    return S_OK;
}

void AdapterList::RemoveAll()
{
    // Taken out first: a Disconnect may call back into the application.
    std::vector<ComPtr<IGanttAdapter>> adapters = std::move(adapters_);
    adapters_.clear();
    for (const ComPtr<IGanttAdapter>& adapter : adapters) adapter->Disconnect();
}

BSTR AdapterList::OpenFilter() const
{
    BSTR filter;
    for (const ComPtr<IGanttAdapter>& adapter : adapters_) {
        const ComPtr<IAdapterDocTypes> types = DocTypesOf(adapter.Get());
        if (!types) continue;
        const LONG count = CountOf(types.Get());
        for (LONG i = 0; i < count; ++i) AppendFilter(types.Get(), i, filter);
    }
    if (!filter.empty()) filter += u"|";
    return filter;
}

std::vector<DocTypeChoice> AdapterList::Choices(IGanttAdapter* skipAdapter, LONG skipIndex) const
{
    std::vector<DocTypeChoice> choices;
    for (const ComPtr<IGanttAdapter>& adapter : adapters_) {
        const ComPtr<IAdapterDocTypes> types = DocTypesOf(adapter.Get());
        if (!types) continue;
        const LONG count = CountOf(types.Get());
        for (LONG i = 0; i < count; ++i) {
            if (adapter.Get() == skipAdapter && i == skipIndex) continue;
            DocTypeChoice choice{adapter, i, {}};
            types->get_DocTypeNames(i, &choice.name);
            choices.push_back(std::move(choice));
        }
    }
    return choices;
}

std::optional<DocTypeChoice> AdapterList::FindByExtension(const BSTR& extension) const
{
    for (const ComPtr<IGanttAdapter>& adapter : adapters_) {
        const ComPtr<IAdapterDocTypes> types = DocTypesOf(adapter.Get());
        if (!types) continue;
        const LONG count = CountOf(types.Get());
        for (LONG i = 0; i < count; ++i) {
            BSTR candidate;
            if (SUCCEEDED(types->get_Extensions(i, &candidate)) && candidate == extension)
                return DocTypeChoice{adapter, i, {}};
        }
    }
    return std::nullopt;
}

BSTR AdapterList::SaveFilter(IGanttAdapter* adapter, LONG docType, BSTR* defaultExtension)
{
    BSTR filter;
    defaultExtension->clear();
    const ComPtr<IAdapterDocTypes> types = DocTypesOf(adapter);
    if (!types) return filter;
    const LONG count = CountOf(types.Get());
    for (LONG i = 0; i < count; ++i) AppendFilter(types.Get(), i, filter);
    if (!filter.empty()) filter += u"|";
    if (FAILED(types->get_Extensions(docType, defaultExtension))) defaultExtension->clear();
    return filter;
}

}  // namespace qmx
