// The per-thread error object: the last failure a component wants the user
// to see.
#pragma once

#include <optional>

#include "automation/guid.h"
#include "automation/hresult.h"
#include "automation/types.h"

namespace qmx {

struct ErrorInfo {
    IID iid{};           // the failing interface
    BSTR source;         // the component's name
    BSTR description;    // the message
};

// Replaces this thread's error object.
void SetErrorInfo(const ErrorInfo& info);
void SetErrorInfo(REFIID iid, const BSTR& source, const BSTR& description);
// Takes this thread's error object and clears it; empty when none is set.
std::optional<ErrorInfo> GetErrorInfo();
void ClearErrorInfo();

// Sets the error object and returns hr, for `return ReportError(...)`.
inline HRESULT ReportError(HRESULT hr, REFIID iid, const BSTR& source, const BSTR& description)
{
    SetErrorInfo(iid, source, description);
    return hr;
}

}  // namespace qmx
