// The standard descriptors of a program of this system. Every program calls
// EnsureStandardDescriptors first thing in main, and ends through
// CloseStandardOutput, so that output that did not arrive is a failure.
#pragma once

#include <string_view>

namespace qmx {

// Puts /dev/null onto each of descriptors 0, 1 and 2 that is closed, so that
// no file the program opens later gets that number (and output meant for
// the terminal never lands in a document or a lock file). The stand-in is
// opened the wrong way round (standard input for writing only, the outputs
// for reading only), so that using it still fails as a closed descriptor
// would.
void EnsureStandardDescriptors();

// Writes to standard output; false when the bytes did not get out. The
// first failure is remembered for CloseStandardOutput.
bool WriteStandardOutput(std::string_view text);

// Flushes and closes standard output. False when any output failed (a full
// disk, a closed descriptor, a pipe whose reader went away); then it has
// also told so on standard error: "<program>: cannot write the output: ...".
bool CloseStandardOutput(const char* program);

}  // namespace qmx
