#include "tools/project_document.h"

namespace qmx {

namespace {

template <class T>
HRESULT HandOut(T* object, T** out)
{
    if (!out) return E_POINTER;
    *out = object;
    if (object) object->AddRef();
    return S_OK;
}

}  // namespace

CProjectDocument::CProjectDocument()
    : model_(nullptr, nullptr, nullptr, nullptr), properties_(static_cast<IDocumentData*>(this))
{
}

HRESULT CProjectDocument::get_TaskTree(ITaskTree** ppTaskTree) { return HandOut(model_.TaskTree(), ppTaskTree); }
HRESULT CProjectDocument::get_Resources(IResources** ppResources) { return HandOut(model_.Resources(), ppResources); }

HRESULT CProjectDocument::get_Properties(IDocumentProperties** ppProperties)
{
    return HandOut<IDocumentProperties>(&properties_, ppProperties);
}

HRESULT CProjectDocument::get_IsModified(VARIANT_BOOL* pvbModified)
{
    if (!pvbModified) return E_POINTER;
    *pvbModified = VARIANT_FALSE;
    return S_OK;
}

HRESULT CProjectDocument::DeleteContents()
{
    ++deleteContentsCalls_;
    properties_.put_Name(BSTR());
    properties_.put_Description(BSTR());
    model_.TaskTree()->Reset();
    model_.Resources()->DeleteAllResources();
    return S_OK;
}

HRESULT CProjectDocument::AdjustTimeRange()
{
    ++adjustTimeRangeCalls_;
    return S_OK;
}

HRESULT CProjectDocument::ResetTimeRange() { return S_OK; }

HRESULT CProjectDocument::get_CurrentViewSettings(BSTR* pbsSettings)
{
    if (!pbsSettings) return E_POINTER;
    *pbsSettings = viewSettings_;
    return S_OK;
}

HRESULT CProjectDocument::put_CurrentViewSettings(const BSTR& bsSettings)
{
    viewSettings_ = bsSettings;
    return S_OK;
}

HRESULT CProjectDocument::ExpandTask(ITask* pTask, VARIANT_BOOL)
{
    return pTask ? S_OK : E_POINTER;
}

HRESULT CProjectDocument::CProperties::get_Name(BSTR* pbsName)
{
    if (!pbsName) return E_POINTER;
    *pbsName = name_;
    return S_OK;
}

HRESULT CProjectDocument::CProperties::put_Name(const BSTR& bsName)
{
    name_ = bsName;
    return S_OK;
}

HRESULT CProjectDocument::CProperties::get_Description(BSTR* pbsDescription)
{
    if (!pbsDescription) return E_POINTER;
    *pbsDescription = description_;
    return S_OK;
}

HRESULT CProjectDocument::CProperties::put_Description(const BSTR& bsDescription)
{
    description_ = bsDescription;
    return S_OK;
}

}  // namespace qmx
