// Conversions of automation strings (UTF-16) to and from UTF-8.
#pragma once

#include <string>
#include <string_view>

#include "automation/types.h"

namespace qmx {

// Ill-formed sequences become U+FFFD; nothing is dropped silently.
BSTR Utf8ToBstr(std::string_view utf8);
// Unpaired surrogates become U+FFFD.
std::string BstrToUtf8(std::u16string_view text);

}  // namespace qmx
