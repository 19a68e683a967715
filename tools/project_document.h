// The document data of one plan without a chart: a project model (task tree
// and resource pool) offered to adapters through IDocumentData, as the
// display application offers its own. Used by the command-line tool, the
// tests, the fuzz target and the benchmarks.
#pragma once

#include "adapters/contract/document_data.h"
#include "automation/com_object.h"
#include "model/project_model.h"

namespace qmx {

class CProjectDocument final : public ComObject<IDocumentData> {
public:
    CProjectDocument();

    HRESULT get_TaskTree(ITaskTree** ppTaskTree) override;
    HRESULT get_Resources(IResources** ppResources) override;
    HRESULT get_Properties(IDocumentProperties** ppProperties) override;
    // There is no adapter behind this object: never modified.
    HRESULT get_IsModified(VARIANT_BOOL* pvbModified) override;
    HRESULT DeleteContents() override;
    // There is no chart: the time range calls are only counted.
    HRESULT AdjustTimeRange() override;
    HRESULT ResetTimeRange() override;
    HRESULT get_CurrentViewSettings(BSTR* pbsSettings) override;
    HRESULT put_CurrentViewSettings(const BSTR& bsSettings) override;
    HRESULT ExpandTask(ITask* pTask, VARIANT_BOOL vbExpand) override;

    ITaskTree* TaskTree() const { return model_.TaskTree(); }
    IResources* Resources() const { return model_.Resources(); }
    int AdjustTimeRangeCalls() const { return adjustTimeRangeCalls_; }
    int DeleteContentsCalls() const { return deleteContentsCalls_; }

protected:
    ~CProjectDocument() override = default;

private:
    // The document's name and description, a part of the document.
    class CProperties final : public EmbeddedObject<IDocumentProperties> {
    public:
        using EmbeddedObject::EmbeddedObject;
        HRESULT get_Name(BSTR* pbsName) override;
        HRESULT put_Name(const BSTR& bsName) override;
        HRESULT get_Description(BSTR* pbsDescription) override;
        HRESULT put_Description(const BSTR& bsDescription) override;

    private:
        BSTR name_;
        BSTR description_;
    };

    ProjectModel model_;
    CProperties properties_;
    BSTR viewSettings_;
    int adjustTimeRangeCalls_ = 0;
    int deleteContentsCalls_ = 0;
};

}  // namespace qmx
