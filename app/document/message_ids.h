// The language-resource strings the application object uses.
#pragma once

namespace qmx {

inline constexpr int kMsgAdaptersKeyMissing = 131;  // "%s", "%s": the hive and the key
inline constexpr int kMsgAdapterNotLoaded = 132;    // "%s": the ProgID
inline constexpr int kMsgNoDocumentTypes = 133;
inline constexpr int kMsgAdapterFailed = 140;
inline constexpr int kMsgNoAdapterForFile = 141;
inline constexpr int kMsgSaveChanges = 142;
inline constexpr int kStrNewTaskName = 143;
inline constexpr int kStrNewResourceName = 156;
inline constexpr int kStrTaskClipboardFormat = 158;
inline constexpr int kStrResourceClipboardFormat = 159;
inline constexpr int kMsgDeleteTasks = 160;
inline constexpr int kMsgTaskCycle = 173;

// Sub-menus of context menu resource 4.
inline constexpr int kTaskTreeContextMenu = 0;
inline constexpr int kResourceListContextMenu = 1;

}  // namespace qmx
