// How DisplayApp creates the main window, and what it may ask of it.
//
// DisplayApp owns what the window uses (the application object's command
// interface and controller, the open document's data, the recent-file list,
// the placement, the user-interface seam) and keeps all of it alive longer
// than the window.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "automation/types.h"

class QMainWindow;
struct IAppCommands;
struct IDocumentData;
struct IDisplayController;
struct IGanttChartControl;

namespace qmx {

class RegistryStore;
class UserInterface;
struct WindowPlacement;

// The most-recently-used file list, kept by the application core (which
// adds a file when it opens or saves). The window shows it as the commands
// 57616 and up, most recent first, and removes an entry that no longer opens.
class RecentFileList {
public:
    virtual std::vector<std::u16string> Files() const = 0;
    virtual void Remove(std::size_t index) = 0;

protected:
    ~RecentFileList() = default;
};

struct MainFrameServices {
    IAppCommands* commands = nullptr;          // the application object's
    IDisplayController* controller = nullptr;  // Shutdown, OpenDocument, IsStandalone
    IDocumentData* document = nullptr;         // IsModified for the status bar
    RecentFileList* recentFiles = nullptr;     // may be null: no recent-file entries
    WindowPlacement* placement = nullptr;      // may be null: default placement, nothing captured
    UserInterface* ui = nullptr;               // message 130 when the chart control fails
    const RegistryStore* store = nullptr;      // where the chart control is found; null: the default store
};

class MainFrame {
public:
    virtual ~MainFrame() = default;

    virtual QMainWindow* Window() = 0;
    // The chart control in the window; DisplayApp passes it to AttachControl.
    virtual IGanttChartControl* ChartControl() = 0;
    // Shows the window, maximised when the saved placement says so.
    virtual void ShowWindow() = 0;
    // Loads menu and tool bar 128 (stand-alone) or 129 (hosted).
    virtual void SetStandaloneMode(bool standalone) = 0;
    // Sends a command to the window as a menu choice would (the Close
    // operation of stand-alone mode sends Exit, 57665).
    virtual void SendCommand(int commandId) = 0;
    // Re-reads every command's enabled and checked state and the modified
    // indicator. The window does so itself after its commands and the
    // control's events; the application core calls it after changes that
    // reach neither (a document closed outside the application).
    virtual void UpdateCommandStates() = 0;
    // Shows sub-menu subMenu of context menu 4 (0 task tree, 1 resource
    // list) at a screen position, with the window's commands: the Qt
    // user-interface seam's ShowContextMenu passes its calls on to here.
    virtual void ShowContextMenu(int subMenu, int xPos, int yPos) = 0;
    // The print loop of the chart host view: the printer dialog, then the
    // chart control's pages (preview: in a print-preview window). The Print
    // and Print preview operations of the command interface call it.
    virtual void PrintActiveView(bool preview) = 0;
};

// Creates the window with its chart control, menus of the mode the
// controller reports, tool bar and status bar. When the chart control cannot
// be created it shows message 130 with the error icon and answers null: the
// start fails. On Exit the window shuts the application down through the
// controller and, when it may, hides itself and ends the event loop; the
// owner destroys it afterwards (the placement is captured then).
std::unique_ptr<MainFrame> CreateMainFrame(const MainFrameServices& services);

}  // namespace qmx
