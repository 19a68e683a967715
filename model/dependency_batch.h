// IDependencyBatch: an internal interface of the task tree for readers that
// make many links at once (a document's links after its tasks). Query it on
// the ITaskTree; a tree without it is linked one DependencyLink at a time.
#pragma once

#include "automation/unknown.h"
#include "model/model_interfaces.h"

// One DependencyLink call of a batch.
struct DependencyRequest {
    LONG SourceTaskID;
    LONG DependentTaskID;
    QMXDependencyType DependencyType;
};

struct IDependencyBatch : IUnknown {
    QMX_INTERFACE_ID("{7681E09E-5E2D-4A0D-8148-76AA46F3C241}");

    // The same as DependencyLink for each request in order, stopping at the
    // first one that fails: the result is that failure's (S_OK when every
    // link was made) and *pnMade the number of links made, so the failing
    // request is pRequests[*pnMade]. Every link, date and duration ends as
    // the calls one by one leave them. The link sink hears each new link
    // in order, once all of them are in their lists; then the task sink
    // hears each task whose dates the links moved once, after every date
    // is in place, with the union of the fields the calls one by one would
    // have reported for it (fireEvent true), in tree order.
    virtual HRESULT DependencyLinkAll(LONG nCount, const DependencyRequest* pRequests, LONG* pnMade) = 0;
};
