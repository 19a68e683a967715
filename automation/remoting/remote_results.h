// Results of calls and activations that cross a process boundary.
#pragma once

#include "automation/hresult.h"

// The peer's object or process is gone (the call fails at once).
inline constexpr HRESULT RPC_E_DISCONNECTED = qmx::detail::hr(0x80010108u);
// The peer answered with a fault instead of a result.
inline constexpr HRESULT RPC_E_SERVERFAULT = qmx::detail::hr(0x80010105u);
// The reply did not come within the call's time limit.
inline constexpr HRESULT RPC_E_TIMEOUT = qmx::detail::hr(0x8001011Fu);
// A reply or event whose arguments do not match the interface.
inline constexpr HRESULT RPC_E_INVALID_DATA = qmx::detail::hr(0x8001010Fu);
// A local server could not be started, exited or never registered.
inline constexpr HRESULT CO_E_SERVER_EXEC_FAILURE = qmx::detail::hr(0x80080005u);
