// The add-in's own string table: the texts it shows in the host.
#pragma once

namespace qmx::addin {

// The caption of every message the add-in shows.
inline constexpr const char16_t* kMessageCaption = u"QMXMm5GanttDisplay Error";
// The caption of the command in the host's menu and tool bar.
inline constexpr const char16_t* kShowCommandCaption = u"Show &QMXGantt";

inline constexpr const char16_t* kCannotStartDisplay =
    u"The QMXGantt display application could not be started.";
inline constexpr const char16_t* kCannotConnectDisplay =
    u"The QMXGantt display application could not be connected to this map.";

}  // namespace qmx::addin
