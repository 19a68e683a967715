#include "addin/mm5_gantt_display_addin.h"

#include <cmath>
#include <string>

#include "addin/addin_identity.h"
#include "automation/bstr.h"
#include "automation/runtime/registration.h"
#include "automation/value_text.h"

namespace qmx::addin {

namespace {

// The command's image lies in the folder sys beside the add-in's own file.
std::u16string CommandImagePath()
{
    const std::string module = ModulePath(reinterpret_cast<const void*>(&CommandImagePath));
    const std::string folder = module.substr(0, module.find_last_of('/') + 1);
    const std::string path = folder + kCommandImageRelativePath;
    return Utf8ToBstr(path);
}

}  // namespace

bool VariantIsTrue(const VARIANT& value)
{
    if (const bool* b = std::get_if<bool>(&value)) return *b;
    if (const std::int32_t* i = std::get_if<std::int32_t>(&value)) return *i != 0;
    if (const double* d = std::get_if<double>(&value)) return *d != 0 && !std::isnan(*d);
    if (const BSTR* text = std::get_if<BSTR>(&value)) {
        std::u16string lower;
        for (char16_t c : *text) lower += (c >= u'A' && c <= u'Z') ? char16_t(c - u'A' + u'a') : c;
        if (const auto word = ParseBoolean(lower)) return *word;
        if (const auto number = ParseInteger(*text)) return *number != 0;
    }
    return false;
}

CMm5GanttDisplayAddIn::~CMm5GanttDisplayAddIn() { DestroyHandler(); }

HRESULT CMm5GanttDisplayAddIn::OnConnection(IUnknown* pApplication, LONG, IUnknown*,
                                            const std::vector<VARIANT>& customArray)
{
    if (!pApplication) return E_POINTER;
    ComPtr<IMmApplication> host;
    RETURN_IF_FAILED(QueryTo(pApplication, host.ReleaseAndGetAddressOf()));
    DestroyHandler();  // connected again without a disconnection
    host_ = host;
    handler_ = MakeObject<CommandHandler>(host_.Get(), CommandImagePath());
    if (!handler_) return E_OUTOFMEMORY;
    if (!customArray.empty() && VariantIsTrue(customArray[0])) handler_->PlaceCommand();
    return S_OK;
}

HRESULT CMm5GanttDisplayAddIn::OnDisconnection(LONG, const std::vector<VARIANT>&)
{
    DestroyHandler();
    host_ = nullptr;
    return S_OK;
}

HRESULT CMm5GanttDisplayAddIn::OnAddInsUpdate(const std::vector<VARIANT>&) { return S_OK; }
HRESULT CMm5GanttDisplayAddIn::OnStartupComplete(const std::vector<VARIANT>&) { return S_OK; }
HRESULT CMm5GanttDisplayAddIn::OnBeginShutdown(const std::vector<VARIANT>&) { return S_OK; }

void CMm5GanttDisplayAddIn::DestroyHandler()
{
    if (!handler_) return;
    ComPtr<CommandHandler> handler = std::move(handler_);
    handler->Destroy();
}

}  // namespace qmx::addin
