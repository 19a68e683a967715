// Small helpers shared by the map store's objects: failures with a message
// for the user, new topic GUIDs, GUID texts.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "automation/com_ptr.h"
#include "automation/error_info.h"
#include "automation/guid.h"
#include "automation/hresult.h"
#include "automation/types.h"

namespace qmx::map {

// The source named in the error object of every failure of the store.
inline constexpr char16_t kErrorSource[] = u"QMXMapHost";

// Sets the thread's error object (interface iid, the store as source) and
// returns hr.
HRESULT Fail(HRESULT hr, REFIID iid, std::string_view message);

// Hands a new reference to p out as the interface I.
template <class I, class T>
HRESULT HandOut(const ComPtr<T>& p, I** out)
{
    if (!out) return E_POINTER;
    *out = p.Get();
    if (*out) (*out)->AddRef();
    return S_OK;
}

// The absolute name of a file with its links resolved, where it exists, so
// that one file named two ways is known as one; the name as given otherwise.
std::string CanonicalPath(const std::string& path);

// A new random (version 4) GUID.
GUID NewGuid();

// The braced upper-case text of a GUID, as an automation string.
BSTR GuidText(const GUID& guid);
// Reads a GUID written with or without braces, in any case.
std::optional<GUID> ParseGuidText(std::u16string_view text);

}  // namespace qmx::map
