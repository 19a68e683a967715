// File-system names are bytes; automation strings are UTF-16. These two
// conversions are the one crossing between them, and they lose nothing: the
// bytes of a name that are not well-formed UTF-8 become the lone surrogates
// U+DC80 to U+DCFF (one per byte, as Python's "surrogateescape" does) and
// become those bytes again on the way back.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "automation/types.h"

namespace qmx {

// Every byte string converts (bytes below 0x80 are always characters).
BSTR FileNameToBstr(std::string_view name);

// The bytes of the name, or nothing when the string names no file: it holds
// U+0000, an unpaired surrogate outside U+DC80 to U+DCFF, or escaped bytes
// that would read back as characters (so that one file never has two names).
std::optional<std::string> BstrToFileName(std::u16string_view name);

// Text for a terminal or a log that may hold file names: escaped bytes go out
// as the bytes they stand for, any other unpaired surrogate as U+FFFD.
std::string BstrToOutputBytes(std::u16string_view text);

}  // namespace qmx
