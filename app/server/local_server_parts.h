// The display application as a local server on the session bus: fills the
// automation slots of the program's parts. A start with -Embedding or
// -Automation registers the class object under the activation token's name;
// when the last reference from other processes goes and the user has no
// control of the program, the program ends.
#pragma once

#include <functional>

namespace qmx {

struct DisplayAppParts;

// quit ends the program (the exit sequence follows the event loop).
void InstallLocalServer(DisplayAppParts& parts, std::function<void()> quit);

}  // namespace qmx
