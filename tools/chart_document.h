// The document data of a plan shown in a chart control: the control's own
// project model offered to adapters through IDocumentData, as the display
// application offers it. The document's name is the control's title, and
// the view calls reach the control. Used by the render command.
#pragma once

#include "adapters/contract/document_data.h"
#include "automation/bstr.h"
#include "automation/com_object.h"
#include "chart/chart_control_interfaces.h"

namespace qmx {

class CChartDocument final : public ComObject<IDocumentData> {
public:
    explicit CChartDocument(IGanttChartControl* control);

    HRESULT get_TaskTree(ITaskTree** ppTaskTree) override;
    HRESULT get_Resources(IResources** ppResources) override;
    HRESULT get_Properties(IDocumentProperties** ppProperties) override;
    HRESULT get_IsModified(VARIANT_BOOL* pvbModified) override;
    HRESULT DeleteContents() override;
    HRESULT AdjustTimeRange() override;
    HRESULT ResetTimeRange() override;
    HRESULT get_CurrentViewSettings(BSTR* pbsSettings) override;
    HRESULT put_CurrentViewSettings(const BSTR& bsSettings) override;
    HRESULT ExpandTask(ITask* pTask, VARIANT_BOOL vbExpand) override;

    // Whether the adapter handed over view settings of the document.
    bool HasViewSettings() const { return hasViewSettings_; }

protected:
    ~CChartDocument() override = default;

private:
    class CProperties final : public EmbeddedObject<IDocumentProperties> {
    public:
        CProperties(IUnknown* owner, IGanttChartControl* control) : EmbeddedObject(owner), control_(control) {}
        HRESULT get_Name(BSTR* pbsName) override;
        HRESULT put_Name(const BSTR& bsName) override;
        HRESULT get_Description(BSTR* pbsDescription) override;
        HRESULT put_Description(const BSTR& bsDescription) override;

    private:
        IGanttChartControl* control_;
        BSTR name_;
        BSTR description_;
    };

    ComPtr<IGanttChartControl> control_;
    CProperties properties_;
    bool hasViewSettings_ = false;
};

}  // namespace qmx
