// qmxgantt render: draws a plan through the chart control, without a
// display. A .pdf gets every printed page; a .png or .svg gets the tasks
// view as it appears on screen at a given size.
#pragma once

#include <vector>

namespace qmx {

// The usage lines of the command, for the tool's help text.
extern const char* const kRenderUsage;

// Runs `render FILE OUT [options]` (args[0] is "render"). Exit codes as the
// tool's: 0 success, 1 a file that cannot be read or written (or a plan
// that cannot be drawn), 2 wrong usage.
int RunRender(const std::vector<const char*>& args);

}  // namespace qmx
