// What the application object needs of the program around it: the main
// window, the user-control mark of the automation server, the recent-file
// list, the menus of the two modes and the message loop. DisplayApp
// implements it; tests answer it with a stand-in.
#pragma once

#include <string>

class QWidget;

namespace qmx {

class ApplicationShell {
public:
    virtual ~ApplicationShell() = default;

    // The main window, null while there is none.
    virtual QWidget* MainWindow() = 0;
    // Creates the main window as at a stand-alone start (which attaches its
    // chart control to the controller). False when it cannot be created.
    virtual bool CreateMainWindow() = 0;
    // While set, releasing the last automation reference does not end the
    // process.
    virtual void SetUserControl(bool userControl) = 0;
    // The main window's title: the document's file name part, or empty.
    // Kept for a window that is created later.
    virtual void SetDocumentTitle(const std::u16string& title) = 0;
    virtual void AddRecentFile(const std::u16string& path) = 0;
    // Stand-alone mode shows menu and tool bar 128, hosted mode 129.
    virtual void StandaloneModeChanged(bool standalone) = 0;
    // The Exit command (57665) of the main window: Shutdown without force,
    // then the window is destroyed.
    virtual void SendExitCommand() = 0;
    // The print or print-preview loop of the chart view.
    virtual void PrintActiveView(bool preview) = 0;
    // Ends the message loop.
    virtual void PostQuit() = 0;
    // Drops every automation client of the application object (the last
    // step of Shutdown).
    virtual void DisconnectClients() = 0;
    // Re-reads the commands' enabled and checked states after a change the
    // main window did not see (a document closed outside the application).
    virtual void UpdateCommandStates() {}
};

}  // namespace qmx
