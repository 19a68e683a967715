// The display application's side of the adapter contract: the open plan as
// an adapter sees it, and the document's name and description.
#pragma once

#include "automation/unknown.h"
#include "model/model_interfaces.h"

struct IDocumentProperties : IUnknown {
    QMX_INTERFACE_ID("{E336CF83-C785-4E61-92CC-D23B16CA9392}");

    virtual HRESULT get_Name(BSTR* pbsName) = 0;
    virtual HRESULT put_Name(const BSTR& bsName) = 0;
    virtual HRESULT get_Description(BSTR* pbsDescription) = 0;
    virtual HRESULT put_Description(const BSTR& bsDescription) = 0;
};

// Adapters keep the reference they get in IGanttAdapter::Connect without
// counting it; the application outlives the connection.
struct IDocumentData : IUnknown {
    QMX_INTERFACE_ID("{54B5EA42-D6A2-48C6-9BCE-687332D70BD7}");

    virtual HRESULT get_TaskTree(ITaskTree** ppTaskTree) = 0;
    virtual HRESULT get_Resources(IResources** ppResources) = 0;
    virtual HRESULT get_Properties(IDocumentProperties** ppProperties) = 0;
    // Whether the application holds unsaved changes.
    virtual HRESULT get_IsModified(VARIANT_BOOL* pvbModified) = 0;
    // Empties the model: tasks, links, resources and assignments.
    virtual HRESULT DeleteContents() = 0;
    // Fits the chart's time range to the tasks.
    virtual HRESULT AdjustTimeRange() = 0;
    virtual HRESULT ResetTimeRange() = 0;
    // The chart's view settings as an opaque text that adapters store as is.
    virtual HRESULT get_CurrentViewSettings(BSTR* pbsSettings) = 0;
    virtual HRESULT put_CurrentViewSettings(const BSTR& bsSettings) = 0;
    virtual HRESULT ExpandTask(ITask* pTask, VARIANT_BOOL vbExpand) = 0;
};

