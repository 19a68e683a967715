// The grid's text conversions: automation strings to Qt's and back, and the
// copy of a string into an out-parameter.
#pragma once

#include <new>

#include <QString>

#include "automation/hresult.h"
#include "automation/types.h"

namespace qmx {

inline QString ToQString(const BSTR& text)
{
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

inline BSTR ToBstr(const QString& text)
{
    return BSTR(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size()));
}

// E_POINTER for a null out-parameter, E_OUTOFMEMORY when the copy cannot be
// made.
inline HRESULT CopyText(const BSTR& from, BSTR* to)
{
    if (!to) return E_POINTER;
    try {
        *to = from;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

}  // namespace qmx
