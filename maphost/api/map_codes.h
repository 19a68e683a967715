// Numeric codes of the map host's automation interface: event kinds and
// phases, object types, duration units, command event IDs.
#pragma once

#include "automation/types.h"

namespace qmx::map {

// Event kinds; a registration's mask is a sum of them.
inline constexpr LONG kEventTopicAdded = 1;
inline constexpr LONG kEventTopicDeleted = 2;
inline constexpr LONG kEventTopicChanged = 4;
inline constexpr LONG kEventDocumentNameChanged = 32;
inline constexpr LONG kEventDocumentClosedWhileHeld = 64;
inline constexpr LONG kEventDocumentActivated = 128;
inline constexpr LONG kEventDocumentClosed = 256;
inline constexpr LONG kEventTopicMask = 7;

// Event phases: topic events come once before and once after the change.
inline constexpr LONG kPhaseBefore = 1;
inline constexpr LONG kPhaseAfter = 2;

// The type of an event's object.
inline constexpr LONG kObjectTopic = 1;
inline constexpr LONG kObjectDocument = 2;

// Task-information duration units.
inline constexpr LONG kDurationHours = 1;
inline constexpr LONG kDurationDays = 2;
inline constexpr LONG kDurationWeeks = 3;

// Dispatch IDs of a command's events.
inline constexpr LONG kCommandRun = 1;
inline constexpr LONG kCommandUpdateState = 2;

// SaveAs format of the host's own map file.
inline constexpr LONG kFormatMap = 0;

// The application class served by the host program and its identifier.
inline constexpr const char* kHostIdentifier = "MindManager.Application.5";
inline constexpr const char* kApplicationClassText = "{6C22125D-5AA1-45A1-9C8B-8D285EF836DF}";

// The user-interface item that carries the add-ins' commands.
inline constexpr LONG kAddInsUserInterfaceItem = 3;

}  // namespace qmx::map

namespace qmx::map {

// Connect and remove modes passed to an add-in.
inline constexpr LONG kConnectAfterStartup = 0;
inline constexpr LONG kConnectStartup = 1;
inline constexpr LONG kDisconnectHostShutdown = 0;
inline constexpr LONG kDisconnectUserClosed = 1;

}  // namespace qmx::map
