// The command interface the main frame routes its 35 table commands to.
//
// Operation 0 is Close; operations 1 to 35 are the commands of the table
// below in table order; operations 36 to 70 are their state queries in the
// same order (QueryState with the same index 1 to 35).
#pragma once

#include <array>

#include "automation/types.h"
#include "automation/unknown.h"

namespace qmx {

// Command identifiers of the menus, tool bars and accelerators, in the order
// of the operations 1 to 35.
inline constexpr std::array<int, 35> kAppCommandIds = {
    57600, 57601, 57603, 40003, 125,   57602, 57607, 57609, 40006, 57635, 57634, 57637,
    40010, 40011, 40012, 40013, 40014, 40015, 40016, 40017, 40018, 40019, 40020, 40021,
    40022, 107,   108,   135,   136,   137,   102,   103,   119,   124,   130};

inline constexpr int kExitCommandId = 57665;
inline constexpr int kAboutCommandId = 57664;
inline constexpr int kHelpCommandId = 126;
inline constexpr int kFirstRecentFileCommandId = 57616;
inline constexpr int kLastRecentFileCommandId = 57631;

// The operation (1 to 35) of a command identifier, 0 when it is not in the table.
constexpr int AppCommandOperation(int commandId)
{
    for (std::size_t i = 0; i < kAppCommandIds.size(); ++i)
        if (kAppCommandIds[i] == commandId) return static_cast<int>(i) + 1;
    return 0;
}

}  // namespace qmx

struct IAppCommands : IUnknown {
    QMX_INTERFACE_ID("{6C1E2D4B-8F3A-4B7E-9D21-5A0C3E7F1B92}");

    // Operation 0: stand-alone mode exits, hosted mode only hides the window.
    virtual HRESULT Close() = 0;
    // Operations 1 to 35.
    virtual HRESULT Execute(LONG iOperation) = 0;
    // Operations 36 to 70: iOperation is 1 to 35 as for Execute. Both flags
    // are preset to 0 by the caller.
    virtual HRESULT QueryState(LONG iOperation, VARIANT_BOOL* pvbEnabled, LONG* pnChecked) = 0;
};
