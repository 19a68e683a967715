// Creating the map host's application object.
#pragma once

#include "maphost/api/map_interfaces.h"

namespace qmx::map {

// A new in-process application over its own map store, with no open map and
// no window. Each call makes an independent store.
HRESULT CreateInProcessApplication(IMmApplication** ppApplication);

}  // namespace qmx::map
