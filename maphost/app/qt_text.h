// Automation strings to and from Qt's: both are UTF-16, taken unit by unit.
#pragma once

#include <QString>

#include "automation/types.h"

namespace qmx::map {

inline QString ToQString(const BSTR& text) { return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())); }
inline BSTR ToBstr(const QString& text)
{
    return BSTR(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size()));
}

}  // namespace qmx::map
