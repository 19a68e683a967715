// A document whose task tree hides the model's batch of links, so that the
// reader links one DependencyLink call at a time: the reference the batch is
// compared against (tests) and measured against (benchmarks).
#pragma once

#include "automation/com_object.h"
#include "tools/project_document.h"

namespace qmx::xml::testing {

class COneByOneDocument final : public ComObject<IDocumentData> {
public:
    explicit COneByOneDocument(CProjectDocument* inner) : inner_(inner), tree_(this, inner->TaskTree()) {}

    HRESULT get_TaskTree(ITaskTree** ppTaskTree) override
    {
        if (!ppTaskTree) return E_POINTER;
        *ppTaskTree = &tree_;
        tree_.AddRef();
        return S_OK;
    }
    HRESULT get_Resources(IResources** p) override { return inner_->get_Resources(p); }
    HRESULT get_Properties(IDocumentProperties** p) override { return inner_->get_Properties(p); }
    HRESULT get_IsModified(VARIANT_BOOL* p) override { return inner_->get_IsModified(p); }
    HRESULT DeleteContents() override { return inner_->DeleteContents(); }
    HRESULT AdjustTimeRange() override { return inner_->AdjustTimeRange(); }
    HRESULT ResetTimeRange() override { return inner_->ResetTimeRange(); }
    HRESULT get_CurrentViewSettings(BSTR* p) override { return inner_->get_CurrentViewSettings(p); }
    HRESULT put_CurrentViewSettings(const BSTR& s) override { return inner_->put_CurrentViewSettings(s); }
    HRESULT ExpandTask(ITask* t, VARIANT_BOOL v) override { return inner_->ExpandTask(t, v); }

private:
    // Every ITaskTree call goes to the model's tree; nothing else answers.
    class CTree final : public EmbeddedObject<ITaskTree> {
    public:
        CTree(IUnknown* owner, ITaskTree* inner) : EmbeddedObject(owner), t_(inner) {}
        HRESULT get_RootTasks(ITasks** p) override { return t_->get_RootTasks(p); }
        HRESULT get_AutocorrectTaskDates(VARIANT_BOOL* p) override { return t_->get_AutocorrectTaskDates(p); }
        HRESULT put_AutocorrectTaskDates(VARIANT_BOOL v) override { return t_->put_AutocorrectTaskDates(v); }
        HRESULT get_MatchColors(VARIANT_BOOL* p) override { return t_->get_MatchColors(p); }
        HRESULT put_MatchColors(VARIANT_BOOL v) override { return t_->put_MatchColors(v); }
        HRESULT get_DefaultTaskAppearance(ITaskAppearance** p) override { return t_->get_DefaultTaskAppearance(p); }
        HRESULT GetTask(LONG id, ITask** p) override { return t_->GetTask(id, p); }
        HRESULT EnumTasks(IEnumTaskIDs** p) override { return t_->EnumTasks(p); }
        HRESULT TaskIDExists(LONG id, VARIANT_BOOL* p) override { return t_->TaskIDExists(id, p); }
        HRESULT AddTask(LONG parent, LONG index, const BSTR& name, ITask** p) override
        {
            return t_->AddTask(parent, index, name, p);
        }
        HRESULT DeleteTask(LONG id) override { return t_->DeleteTask(id); }
        HRESULT MoveTask(LONG id, LONG parent, LONG index) override { return t_->MoveTask(id, parent, index); }
        HRESULT DependencyLink(LONG s, LONG d, QMXDependencyType k) override { return t_->DependencyLink(s, d, k); }
        HRESULT DependencyUnlink(LONG s, LONG d) override { return t_->DependencyUnlink(s, d); }
        HRESULT TaskPathExists(LONG s, LONG d, VARIANT_BOOL* p) override { return t_->TaskPathExists(s, d, p); }
        HRESULT DeleteAllTasks() override { return t_->DeleteAllTasks(); }
        HRESULT Reset() override { return t_->Reset(); }

    private:
        ITaskTree* t_;
    };

    ComPtr<CProjectDocument> inner_;
    CTree tree_;
};

}  // namespace qmx::xml::testing
