// The D-Bus faces of the map host's automation interface. Every process that
// serves or calls the map host's objects across processes registers them
// first (the host program, the display application, the add-in, tests).
#pragma once

namespace qmx::map {

// Registers every face once; later calls do nothing.
void RegisterMapFaces();

}  // namespace qmx::map
