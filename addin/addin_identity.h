// The add-in's class identity, its registration under the map host's add-in
// key, and the names of what it adds to the host.
#pragma once

#include "automation/guid.h"

namespace qmx::addin {

inline constexpr CLSID kAddInClsid = MakeGuid("{871ADE26-2AF0-4069-BAB9-7F388DAC2667}");
inline constexpr GUID kAddInTypeLibId = MakeGuid("{14815C0E-192F-4327-B84B-D7A87550F817}");
inline constexpr GUID kAddInAppId = MakeGuid("{DBC627B3-B8DA-4413-B7BA-4EF81688AA5D}");
inline constexpr const char* kAddInProgId = "QMXGanttDisplay.Mm5GanttDisplay.AddIn.1";
inline constexpr const char* kAddInVersionIndependentProgId = "QMXGanttDisplay.Mm5GanttDisplay.AddIn";
inline constexpr const char* kAddInClassName = "QMXMm5GanttDisplayAddIn Class";

// The values of the add-in's key.
inline constexpr const char* kAddInFriendlyName = "QMXGanttDisplay Task Synchronization";
inline constexpr const char* kAddInDescription = "";
inline constexpr std::uint32_t kAddInCommandLineSafe = 0;
inline constexpr std::uint32_t kAddInLoadBehavior = 2;

// The command the add-in adds, and its image beside the add-in's file.
inline constexpr const char16_t* kShowCommandName = u"ShowGanttDisplayCommand";
inline constexpr const char* kCommandImageRelativePath = "sys/QMXGantt.bmp";

}  // namespace qmx::addin
