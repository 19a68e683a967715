// Conversions of automation strings (UTF-16) to and from UTF-8.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "automation/types.h"

namespace qmx {

// Ill-formed sequences become U+FFFD; nothing is dropped silently.
BSTR Utf8ToBstr(std::string_view utf8);
// Unpaired surrogates become U+FFFD.
std::string BstrToUtf8(std::u16string_view text);

// The pieces the conversions are made of, for conversions of their own
// (file names, see file_name.h).
struct Utf8Sequence {
    char32_t codePoint = 0;
    // The bytes taken: the whole sequence when well-formed; otherwise the
    // bytes up to the one that broke it (at least one).
    std::size_t length = 1;
    bool wellFormed = false;
};
// The sequence starting at utf8[i] (i < size); overlong forms, encoded
// surrogates and code points above U+10FFFF are ill-formed.
Utf8Sequence DecodeUtf8(std::string_view utf8, std::size_t i);
void AppendUtf8(std::string& out, char32_t codePoint);
void AppendUtf16(BSTR& out, char32_t codePoint);

}  // namespace qmx
