#include "tools/chart_document.h"

#include "model/model_interfaces.h"

namespace qmx {

CChartDocument::CChartDocument(IGanttChartControl* control)
    : control_(control), properties_(static_cast<IDocumentData*>(this), control)
{
}

HRESULT CChartDocument::get_TaskTree(ITaskTree** ppTaskTree) { return control_->get_TaskTree(ppTaskTree); }

HRESULT CChartDocument::get_Resources(IResources** ppResources) { return control_->get_Resources(ppResources); }

HRESULT CChartDocument::get_Properties(IDocumentProperties** ppProperties)
{
    if (!ppProperties) return E_POINTER;
    *ppProperties = &properties_;
    properties_.AddRef();
    return S_OK;
}

HRESULT CChartDocument::get_IsModified(VARIANT_BOOL* pvbModified)
{
    if (!pvbModified) return E_POINTER;
    *pvbModified = VARIANT_FALSE;
    return S_OK;
}

HRESULT CChartDocument::DeleteContents()
{
    properties_.put_Name(BSTR());
    properties_.put_Description(BSTR());
    ComPtr<ITaskTree> tree;
    ComPtr<IResources> resources;
    if (SUCCEEDED(control_->get_TaskTree(tree.ReleaseAndGetAddressOf())) && tree) tree->Reset();
    if (SUCCEEDED(control_->get_Resources(resources.ReleaseAndGetAddressOf())) && resources)
        resources->DeleteAllResources();
    hasViewSettings_ = false;
    return S_OK;
}

HRESULT CChartDocument::AdjustTimeRange() { return control_->AdjustTimeRange(); }

HRESULT CChartDocument::ResetTimeRange() { return control_->ResetTimeRange(); }

HRESULT CChartDocument::get_CurrentViewSettings(BSTR* pbsSettings) { return control_->get_CurrentViewSettings(pbsSettings); }

HRESULT CChartDocument::put_CurrentViewSettings(const BSTR& bsSettings)
{
    const HRESULT hr = control_->put_CurrentViewSettings(bsSettings);
    if (SUCCEEDED(hr)) hasViewSettings_ = true;
    return hr;
}

HRESULT CChartDocument::ExpandTask(ITask* pTask, VARIANT_BOOL vbExpand) { return control_->ExpandTask(pTask, vbExpand); }

HRESULT CChartDocument::CProperties::get_Name(BSTR* pbsName)
{
    if (!pbsName) return E_POINTER;
    *pbsName = name_;
    return S_OK;
}

HRESULT CChartDocument::CProperties::put_Name(const BSTR& bsName)
{
    name_ = bsName;
    return control_->put_Title(bsName);
}

HRESULT CChartDocument::CProperties::get_Description(BSTR* pbsDescription)
{
    if (!pbsDescription) return E_POINTER;
    *pbsDescription = description_;
    return S_OK;
}

HRESULT CChartDocument::CProperties::put_Description(const BSTR& bsDescription)
{
    description_ = bsDescription;
    return S_OK;
}

}  // namespace qmx
