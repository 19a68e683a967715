#include "app/core/display_app.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QMainWindow>

#include "adapters/contract/document_data.h"
#include "app/app_commands.h"
#include "app/core/display_registration.h"
#include "app/display_controller.h"
#include "app/language_resources.h"
#include "app/user_interface.h"
#include "automation/file_name.h"
#include "automation/runtime/registry_store.h"

namespace qmx {
namespace {

constexpr int kStartFailed = 1;
constexpr int kExitCommand = 57665;
constexpr int kRecentFileProfileString = 139;
constexpr int kAppTitleString = 128;
constexpr int kAppIcon = 128;

}  // namespace

DisplayApp::DisplayApp(DisplayAppParts parts) : parts_(std::move(parts)) {}

DisplayApp::~DisplayApp()
{
    // A start that failed half-way still lets go of what it made, window
    // first, as at a regular end.
    frame_.reset();
    if (classObjectRegistered_ && parts_.revokeClassObjects) parts_.revokeClassObjects();
    classFactory_.Reset();
    if (factory_) factory_->ReleaseApplication();
}

bool DisplayApp::Fail(int exitCode)
{
    exitCode_ = exitCode;
    return false;
}

bool DisplayApp::InitInstance(const QStringList& arguments)
{
    if (!parts_.store || !parts_.ui) return Fail(kStartFailed);
    RegistryStore& store = *parts_.store;

    // 1. The language resources: nothing else can be shown without them.
    if (!LanguageResources::Load(store, parts_.programDir)) {
        parts_.ui->ShowMessage(QString::fromLatin1(kNoLanguageMessage).toStdU16String(), MessageButtons::Ok,
                               MessageIcon::Error, MessageAnswer::Ok);
        return Fail(kStartFailed);
    }
    // 2. The window placement; absent values keep their defaults.
    if (parts_.loadPlacement) placement_ = parts_.loadPlacement(store);
    // 3. The framework: the program's name and icon for every window.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        QGuiApplication::setApplicationDisplayName(LanguageResources::String(kAppTitleString));
        QGuiApplication::setWindowIcon(LanguageResources::Icon(kAppIcon));
    }
    // 6. The command line.
    commandLine_ = ParseCommandLine(arguments);
    // 7. The user's recent files under the profile that string 139 names.
    recentFiles_.emplace(&store,
                         RecentFileListKey(LanguageResources::String(kRecentFileProfileString).toStdU16String()));
    // 8. Registration ends the process either way.
    if (commandLine_.action != CommandLine::Action::Run) {
        const bool ok = RunRegistration(commandLine_.action);
        exitCode_ = ok ? 0 : kStartFailed;
        return false;
    }
    // 9. to 11. The class factory with the application object, the adapters.
    startedByAutomation_ = commandLine_.startedByAutomation;
    if (!CreateClassFactory()) return Fail(kStartFailed);
    if (FAILED(controller_->Initialize())) return Fail(kStartFailed);
    // 12. A client will ask for the window through Connect or Visible.
    if (startedByAutomation_) return true;
    // 13. The main window, and the file named on the command line.
    if (!CreateMainWindow()) return Fail(kStartFailed);
    frame_->ShowWindow();
    // A file that does not open leaves the program running without a
    // document; the controller has shown why.
    if (!commandLine_.fileName.isEmpty())
        controller_->OpenDocument(FileNameToBstr(QFile::encodeName(commandLine_.fileName).toStdString()));
    return true;
}

bool DisplayApp::RunRegistration(CommandLine::Action action)
{
    RegistryStore& store = *parts_.store;
    if (action == CommandLine::Action::Unregister) return SUCCEEDED(UnregisterDisplayApplication(store));
    return SUCCEEDED(RegisterDisplayApplication(store, parts_.executablePath));
}

bool DisplayApp::CreateClassFactory()
{
    if (!parts_.createApplicationObject || !parts_.controllerOf) return false;
    ComPtr<IApplication> application = parts_.createApplicationObject(*parts_.store, *parts_.ui, *this);
    if (!application) return false;
    controller_ = parts_.controllerOf(application.Get());
    if (!controller_) return false;
    factory_ = MakeObject<SingletonClassFactory>(std::move(application));
    if (!factory_) return false;
    if (!startedByAutomation_) {
        classFactory_ = factory_;
        return true;
    }
    if (parts_.registerClassObject) {
        if (!parts_.registerClassObject(factory_.Get())) return false;
        classObjectRegistered_ = true;
    }
    return true;
}

void DisplayApp::ExitInstance()
{
    // Destroying the window captures its placement.
    frame_.reset();
    if (parts_.savePlacement) parts_.savePlacement(placement_, *parts_.store);
    if (startedByAutomation_) {
        if (classObjectRegistered_ && parts_.revokeClassObjects) parts_.revokeClassObjects();
        classObjectRegistered_ = false;
    } else {
        classFactory_.Reset();
    }
    controller_ = nullptr;
    if (factory_) factory_->ReleaseApplication();
    factory_.Reset();
}

bool DisplayApp::CommitSessionData(bool mayInteract)
{
    if (!controller_ || !controller_->IsStandalone()) return true;
    if (mayInteract) return controller_->CanClose();
    // Nobody can be asked: the end goes on only when nothing would be lost.
    IApplication* application = Application();
    ComPtr<IDocumentData> document;
    if (!application || FAILED(application->QueryInterface(IDocumentData::iid,
                                                           reinterpret_cast<void**>(document.ReleaseAndGetAddressOf()))))
        return true;
    VARIANT_BOOL modified = VARIANT_FALSE;
    return FAILED(document->get_IsModified(&modified)) || modified != VARIANT_TRUE;
}

QWidget* DisplayApp::MainWindow() { return frame_ ? frame_->Window() : nullptr; }

bool DisplayApp::CreateMainWindow()
{
    if (frame_) return true;
    if (!parts_.createMainFrame || !factory_ || !controller_) return false;
    IApplication* application = factory_->Application();
    ComPtr<IAppCommands> commands;
    ComPtr<IDocumentData> document;
    application->QueryInterface(IAppCommands::iid, reinterpret_cast<void**>(commands.ReleaseAndGetAddressOf()));
    application->QueryInterface(IDocumentData::iid, reinterpret_cast<void**>(document.ReleaseAndGetAddressOf()));

    MainFrameServices services;
    services.commands = commands.Get();
    services.controller = controller_;
    services.document = document.Get();
    services.recentFiles = RecentFiles();
    services.placement = &placement_;
    services.ui = parts_.ui;
    services.store = parts_.store;
    std::unique_ptr<MainFrame> frame = parts_.createMainFrame(services);
    if (!frame || !frame->Window() || !frame->ChartControl()) return false;
    frame_ = std::move(frame);
    frame_->Window()->setWindowTitle(QString::fromStdU16String(title_));
    controller_->AttachControl(frame_->ChartControl());
    return true;
}

void DisplayApp::SetUserControl(bool userControl)
{
    if (userControl_ == userControl) return;
    userControl_ = userControl;
    if (parts_.userControlChanged) parts_.userControlChanged(userControl);
}

void DisplayApp::SetDocumentTitle(const std::u16string& title)
{
    title_ = title;
    if (frame_) frame_->Window()->setWindowTitle(QString::fromStdU16String(title));
}

void DisplayApp::AddRecentFile(const std::u16string& path)
{
    if (recentFiles_) recentFiles_->Add(path);
}

void DisplayApp::StandaloneModeChanged(bool standalone)
{
    if (frame_) frame_->SetStandaloneMode(standalone);
}

void DisplayApp::SendExitCommand()
{
    if (frame_) frame_->SendCommand(kExitCommand);
}

void DisplayApp::PrintActiveView(bool preview)
{
    if (frame_) frame_->PrintActiveView(preview);
}

void DisplayApp::PostQuit()
{
    if (parts_.postQuit) {
        parts_.postQuit();
        return;
    }
    // Queued, so that it ends the loop even when posted before the loop runs.
    QMetaObject::invokeMethod(QCoreApplication::instance(), [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
}

void DisplayApp::DisconnectClients()
{
    if (parts_.disconnectClients) parts_.disconnectClients();
}

}  // namespace qmx
