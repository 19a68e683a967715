// The resource commands: new, delete and rename, each told to the current
// adapter after the pool changed.
#pragma once

#include "automation/hresult.h"

namespace qmx {

struct DocumentState;

class ResourceCommands {
public:
    explicit ResourceCommands(DocumentState& state) : state_(state) {}

    // In the resources view, a resource with the default name, selected,
    // then its name dialog.
    HRESULT NewResource();
    HRESULT DeleteResource();
    // The name dialog on the selected resource.
    HRESULT ResourceProperties();

private:
    DocumentState& state_;
};

}  // namespace qmx
