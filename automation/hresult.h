// Result codes with the numeric values of the Windows platform.
#pragma once

#include <cstdint>

using HRESULT = std::int32_t;

namespace qmx::detail {
constexpr HRESULT hr(std::uint32_t value) { return static_cast<HRESULT>(value); }
}  // namespace qmx::detail

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOTIMPL = qmx::detail::hr(0x80004001u);
inline constexpr HRESULT E_NOINTERFACE = qmx::detail::hr(0x80004002u);
inline constexpr HRESULT E_POINTER = qmx::detail::hr(0x80004003u);
inline constexpr HRESULT E_ABORT = qmx::detail::hr(0x80004004u);
inline constexpr HRESULT E_FAIL = qmx::detail::hr(0x80004005u);
inline constexpr HRESULT E_UNEXPECTED = qmx::detail::hr(0x8000FFFFu);
inline constexpr HRESULT E_ACCESSDENIED = qmx::detail::hr(0x80070005u);
inline constexpr HRESULT E_OUTOFMEMORY = qmx::detail::hr(0x8007000Eu);
inline constexpr HRESULT E_INVALIDARG = qmx::detail::hr(0x80070057u);
// A move that would make a task its own ancestor.
inline constexpr HRESULT E_TASK_CYCLE = qmx::detail::hr(0x80000300u);

// Activation and connection-point failures.
inline constexpr HRESULT CLASS_E_NOAGGREGATION = qmx::detail::hr(0x80040110u);
inline constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = qmx::detail::hr(0x80040111u);
inline constexpr HRESULT REGDB_E_CLASSNOTREG = qmx::detail::hr(0x80040154u);
inline constexpr HRESULT CO_E_CLASSSTRING = qmx::detail::hr(0x800401F3u);
inline constexpr HRESULT CO_E_DLLNOTFOUND = qmx::detail::hr(0x8004019Fu);
inline constexpr HRESULT CO_E_ERRORINDLL = qmx::detail::hr(0x800401F9u);
inline constexpr HRESULT CONNECT_E_NOCONNECTION = qmx::detail::hr(0x80040200u);
inline constexpr HRESULT SELFREG_E_CLASS = qmx::detail::hr(0x80040201u);

constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }

// Returns the result of expression from the enclosing function when it failed.
#define RETURN_IF_FAILED(expression)      \
    do {                                  \
        const HRESULT hr_ = (expression); \
        if (FAILED(hr_)) return hr_;      \
    } while (false)
