#include "model/dependency_link.h"

#include "model/date_correction.h"
#include "model/task.h"
#include "model/task_tree.h"

namespace qmx {

CDependencyView::CDependencyView(CDependencyLink* link, bool fromDependent)
    : EmbeddedObject(link), link_(link), fromDependent_(fromDependent)
{
}

HRESULT CDependencyView::get_PairTask(ITask** ppTask)
{
    if (!ppTask) return E_POINTER;
    *ppTask = nullptr;
    CTask* pair = fromDependent_ ? link_->Source() : link_->Dependent();
    if (!pair) return E_FAIL;  // the link was removed
    *ppTask = pair;
    pair->AddRef();
    return S_OK;
}

HRESULT CDependencyView::get_Type(QMXDependencyType* pType)
{
    if (!pType) return E_POINTER;
    *pType = static_cast<QMXDependencyType>(link_->Type());
    return S_OK;
}

HRESULT CDependencyView::put_Type(QMXDependencyType Type)
{
    return link_->PutType(Type);
}

CDependencyLink::CDependencyLink(CTask* source, CTask* dependent)
    : source_(source), dependent_(dependent), predecessorView_(this, true), successorView_(this, false)
{
}

HRESULT CDependencyLink::PutType(QMXDependencyType type)
{
    if (IsRemoved()) return E_FAIL;
    const LONG old = type_;
    if (type == old) return S_OK;
    CTask* source = source_;
    CTask* dependent = dependent_;
    if (dependent->HasChildren() && BoundsEnd(type)) return E_FAIL;

    ComPtr<CDependencyLink> keep(this);
    CTaskTree* tree = source->Tree();
    type_ = type;
    tree->LinkSink().OnDependencyChanged(SuccessorView());
    if (!tree->Autocorrect()) return S_OK;

    // Enforce the new kind unless the old one already implied it: a bound
    // on the dependent's start implies the same bound on its end, and a
    // bound from the source's end implies the same one from its start.
    const bool oldKnown = old >= dtStartToStart && old <= dtFinishToFinish;
    DateCorrection correction;
    switch (type) {
    case dtStartToStart:
        if (!oldKnown || old == dtStartToFinish || old == dtFinishToFinish) {
            correction.PushStart(dependent, source->Start());
        }
        break;
    case dtStartToFinish:
        if (!oldKnown) correction.PushEnd(dependent, source->Start());
        break;
    case dtFinishToStart:
        correction.PushStart(dependent, source->End());
        break;
    case dtFinishToFinish:
        if (!oldKnown || old == dtStartToStart || old == dtStartToFinish) {
            correction.PushEnd(dependent, source->End());
        }
        break;
    default:
        break;  // kinds outside the four are stored and bound nothing
    }
    return S_OK;
}

}  // namespace qmx
