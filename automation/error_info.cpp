#include "automation/error_info.h"

#include <utility>

namespace qmx {

namespace {
thread_local std::optional<ErrorInfo> t_error;
}

void SetErrorInfo(const ErrorInfo& info) { t_error = info; }

void SetErrorInfo(REFIID iid, const BSTR& source, const BSTR& description)
{
    t_error = ErrorInfo{iid, source, description};
}

std::optional<ErrorInfo> GetErrorInfo() { return std::exchange(t_error, std::nullopt); }

void ClearErrorInfo() { t_error.reset(); }

}  // namespace qmx
