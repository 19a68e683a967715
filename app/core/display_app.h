// The program's application class: the start in its fixed order (language
// resources, window placement, command line, recent files, registration,
// the class factory with the one application object, the adapters, the main
// window), the end (placement saved, class objects revoked), and what the
// application object needs of the program (ApplicationShell).
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <QString>
#include <QStringList>

#include "app/core/command_line.h"
#include "app/core/profile_recent_files.h"
#include "app/core/singleton_class_factory.h"
#include "app/document/application_shell.h"
#include "app/frame/main_frame_factory.h"
#include "app/frame/window_placement.h"

struct IDisplayController;

namespace qmx {

class RegistryStore;
class UserInterface;

// What the program is made of; tests put stand-ins in every slot.
struct DisplayAppParts {
    RegistryStore* store = nullptr;  // required; outlives the DisplayApp
    UserInterface* ui = nullptr;     // required; outlives the DisplayApp
    QString programDir;              // where QMXGanttDisplay<Language>.rcc lies
    std::string executablePath;      // registered as the local server

    std::function<ComPtr<IApplication>(const RegistryStore&, UserInterface&, ApplicationShell&)>
        createApplicationObject;
    std::function<IDisplayController*(IApplication*)> controllerOf;
    std::function<std::unique_ptr<MainFrame>(const MainFrameServices&)> createMainFrame;
    // The placement values of the Settings key (WindowPlacement::Load and
    // Save); empty: the defaults, nothing written.
    std::function<WindowPlacement(const RegistryStore&)> loadPlacement;
    std::function<bool(const WindowPlacement&, RegistryStore&)> savePlacement;

    // The automation server: registers the class object for single-use
    // local-server activation (false ends the start), revokes it at the end,
    // and drops the application object's clients. Empty: no server runs and
    // the class object is only kept.
    std::function<bool(IClassFactory*)> registerClassObject;
    std::function<void()> revokeClassObjects;
    std::function<void()> disconnectClients;
    // Told whenever the user-control mark changes.
    std::function<void(bool userControl)> userControlChanged;
    // Ends the event loop (the quit message); empty: QCoreApplication::exit
    // from the event loop.
    std::function<void()> postQuit;
};

class DisplayApp final : public ApplicationShell {
public:
    explicit DisplayApp(DisplayAppParts parts);
    ~DisplayApp() override;
    DisplayApp(const DisplayApp&) = delete;
    DisplayApp& operator=(const DisplayApp&) = delete;

    // The start. False ends the process at once with ExitCode(): after
    // registering or unregistering, or when a step failed (the language
    // resources with their message; the rest silently, or with the message
    // the failing part showed).
    bool InitInstance(const QStringList& arguments);
    int ExitCode() const { return exitCode_; }
    // The end: the window goes (its placement captured), the placement is
    // written, the class objects are revoked or the factory released.
    void ExitInstance();

    // The desktop session is ending (log-off or shut-down): a modified plan
    // of stand-alone mode is offered for saving as when the window closes,
    // when mayInteract says the session lets the program ask. False when the
    // session's end must be cancelled: the user cancelled, the save failed,
    // or the plan is modified and nobody may be asked. A hosted plan is its
    // host's to save.
    bool CommitSessionData(bool mayInteract);

    bool StartedByAutomation() const { return startedByAutomation_; }
    // Held only in a start without the automation switches.
    IClassFactory* ClassFactory() const { return classFactory_.Get(); }
    IDisplayController* Controller() const { return controller_; }
    IApplication* Application() const { return factory_ ? factory_->Application() : nullptr; }
    const WindowPlacement& Placement() const { return placement_; }
    ProfileRecentFiles* RecentFiles() { return recentFiles_ ? &*recentFiles_ : nullptr; }
    MainFrame* Frame() const { return frame_.get(); }
    bool UserControl() const { return userControl_; }
    const CommandLine& Arguments() const { return commandLine_; }

    // ApplicationShell
    QWidget* MainWindow() override;
    bool CreateMainWindow() override;
    void SetUserControl(bool userControl) override;
    void SetDocumentTitle(const std::u16string& title) override;
    void AddRecentFile(const std::u16string& path) override;
    void StandaloneModeChanged(bool standalone) override;
    void SendExitCommand() override;
    void PrintActiveView(bool preview) override;
    void PostQuit() override;
    void DisconnectClients() override;

private:
    bool Fail(int exitCode);
    bool RunRegistration(CommandLine::Action action);
    bool CreateClassFactory();

    DisplayAppParts parts_;
    int exitCode_ = 0;
    bool startedByAutomation_ = false;
    bool userControl_ = false;
    CommandLine commandLine_;
    WindowPlacement placement_;
    std::optional<ProfileRecentFiles> recentFiles_;
    ComPtr<SingletonClassFactory> factory_;       // the one factory, however it is held
    ComPtr<IClassFactory> classFactory_;          // `ClassFactory`: a start without automation
    bool classObjectRegistered_ = false;
    IDisplayController* controller_ = nullptr;
    std::unique_ptr<MainFrame> frame_;
    std::u16string title_;
};

}  // namespace qmx
