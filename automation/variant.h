// VARIANT: the kinds of values the interfaces pass in a variant argument.
#pragma once

#include <cstdint>
#include <variant>

#include "automation/com_ptr.h"
#include "automation/types.h"

// Empty (VT_EMPTY), boolean, 32-bit integer, double, string, object.
using VARIANT = std::variant<std::monostate, bool, std::int32_t, double, BSTR, qmx::ComPtr<IUnknown>>;

namespace qmx {
inline bool IsEmpty(const VARIANT& v) { return std::holds_alternative<std::monostate>(v); }
}  // namespace qmx
