#include <QFileInfo>
#include <QMainWindow>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "adapters/contract/document_data.h"
#include "app/core/display_app.h"
#include "app/dialogs/tests/scripted_user_interface.h"
#include "app/display_controller.h"
#include "app/frame/window_placement.h"
#include "app/language_resources.h"
#include "automation/runtime/registry_store.h"

namespace qmx {
namespace {

using Events = std::vector<std::string>;

// The application object as DisplayApp sees it: it records what the
// program asks of it.
class FakeApplication final : public ComObject<IApplication, IDocumentData>, public IDisplayController {
public:
    FakeApplication(Events& events, HRESULT initializeResult) : events_(events), initializeResult_(initializeResult) {}

    // The answers of the prompt to save, the mode and the document's state.
    bool canClose = true;
    bool standalone = true;
    bool modified = false;
    ~FakeApplication() override { events_.push_back("application released"); }

    HRESULT Connect(IUnknown*, const BSTR&, LONG, const VARIANT&) override { return E_NOTIMPL; }
    HRESULT Disconnect() override { return S_OK; }
    HRESULT get_Visible(VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT put_Visible(VARIANT_BOOL) override { return E_NOTIMPL; }
    HRESULT get_Hwnd(LONG*) override { return E_NOTIMPL; }
    HRESULT Quit() override { return S_OK; }

    void AttachControl(IGanttChartControl* pControl) override
    {
        events_.push_back(pControl ? "attach control" : "attach null");
    }
    HRESULT Initialize() override
    {
        events_.push_back("initialize");
        return initializeResult_;
    }
    HRESULT OpenDocument(const BSTR& bsFileName) override
    {
        events_.push_back("open " + BstrToUtf8(bsFileName));
        return S_OK;
    }
    bool CanClose() override
    {
        events_.push_back("prompt to save");
        return canClose;
    }
    HRESULT Shutdown(bool, bool* canExit) override
    {
        *canExit = true;
        return S_OK;
    }
    bool IsStandalone() override { return standalone; }

    HRESULT get_TaskTree(ITaskTree**) override { return E_NOTIMPL; }
    HRESULT get_Resources(IResources**) override { return E_NOTIMPL; }
    HRESULT get_Properties(IDocumentProperties**) override { return E_NOTIMPL; }
    HRESULT get_IsModified(VARIANT_BOOL* p) override
    {
        *p = ToVariantBool(modified);
        return S_OK;
    }
    HRESULT DeleteContents() override { return E_NOTIMPL; }
    HRESULT AdjustTimeRange() override { return E_NOTIMPL; }
    HRESULT ResetTimeRange() override { return E_NOTIMPL; }
    HRESULT get_CurrentViewSettings(BSTR*) override { return E_NOTIMPL; }
    HRESULT put_CurrentViewSettings(const BSTR&) override { return E_NOTIMPL; }
    HRESULT ExpandTask(ITask*, VARIANT_BOOL) override { return E_NOTIMPL; }

private:
    Events& events_;
    HRESULT initializeResult_;
};

class FakeFrame final : public MainFrame {
public:
    FakeFrame(Events& events, WindowPlacement* placement) : events_(events), placement_(placement) {}
    ~FakeFrame() override
    {
        // The real window captures its rectangle when it is destroyed.
        if (placement_) {
            placement_->left = 10;
            placement_->top = 20;
        }
        events_.push_back("window destroyed");
    }
    QMainWindow* Window() override { return &window_; }
    IGanttChartControl* ChartControl() override { return reinterpret_cast<IGanttChartControl*>(&controlStandIn_); }
    void ShowWindow() override { events_.push_back("show window"); }
    void SetStandaloneMode(bool standalone) override { events_.push_back(standalone ? "menu 128" : "menu 129"); }
    void SendCommand(int commandId) override { events_.push_back("command " + std::to_string(commandId)); }
    void UpdateCommandStates() override {}
    void ShowContextMenu(int, int, int) override {}
    void PrintActiveView(bool preview) override { events_.push_back(preview ? "preview" : "print"); }

private:
    Events& events_;
    WindowPlacement* placement_;
    QMainWindow window_;
    int controlStandIn_ = 0;  // never used as a control
};

struct Options {
    bool languagePresent = true;
    HRESULT initializeResult = S_OK;
    bool windowCreated = true;
    bool classObjectRegistered = true;
};

class DisplayAppTest : public ::testing::Test {
protected:
    std::unique_ptr<DisplayApp> MakeApp(const Options& options = {})
    {
        DisplayAppParts parts;
        parts.store = &store;
        parts.ui = &ui;
        parts.programDir = options.languagePresent ? QFileInfo(QStringLiteral(QMX_ENGLISH_RCC)).path() : empty.path();
        parts.executablePath = "/opt/qmx/bin/QMXGanttDisplay";
        parts.createApplicationObject = [this, options](const RegistryStore&, UserInterface&, ApplicationShell&) {
            events.push_back("create application object");
            return ComPtr<IApplication>(MakeObject<FakeApplication>(events, options.initializeResult));
        };
        parts.controllerOf = [](IApplication* application) -> IDisplayController* {
            return static_cast<FakeApplication*>(application);
        };
        parts.createMainFrame = [this, options](const MainFrameServices& services) -> std::unique_ptr<MainFrame> {
            events.push_back("create window");
            this->services = services;
            if (!options.windowCreated) return nullptr;
            return std::make_unique<FakeFrame>(events, services.placement);
        };
        parts.loadPlacement = [this](const RegistryStore&) {
            // The language resources come first.
            events.push_back(LanguageResources::LoadedFile().isEmpty() ? "placement without language" : "load placement");
            WindowPlacement loaded;
            loaded.left = 40;
            return loaded;
        };
        parts.savePlacement = [this](const WindowPlacement& placement, RegistryStore&) {
            events.push_back("save placement");
            saved = placement;
            return true;
        };
        parts.registerClassObject = [this, options](IClassFactory* factory) {
            events.push_back(factory ? "register class object" : "register null");
            registered = factory;
            return options.classObjectRegistered;
        };
        parts.revokeClassObjects = [this] { events.push_back("revoke class objects"); };
        return std::make_unique<DisplayApp>(std::move(parts));
    }

    QTemporaryDir dir;
    QTemporaryDir empty;
    RegistryStore store{dir.filePath("registry.ini").toStdString()};
    testing::ScriptedUserInterface ui;
    Events events;
    MainFrameServices services;
    IClassFactory* registered = nullptr;
    std::optional<WindowPlacement> saved;
};

TEST_F(DisplayAppTest, UserStartRunsTheStepsInOrderAndOpensTheNamedFile)
{
    auto app = MakeApp();
    ASSERT_TRUE(app->InitInstance({"-verbose", "plan.qmxg", "other.qmxg"}));
    EXPECT_EQ(events, (Events{"load placement", "create application object", "initialize", "create window",
                              "attach control", "show window", "open plan.qmxg"}));
    EXPECT_FALSE(app->StartedByAutomation());
    EXPECT_EQ(app->Placement().left, 40);
    EXPECT_EQ(app->Placement().top, kUseDefaultPlacement);
    EXPECT_EQ(services.controller, app->Controller());
    EXPECT_EQ(services.placement, &app->Placement());
    EXPECT_EQ(services.recentFiles, app->RecentFiles());
    EXPECT_TRUE(ui.messages.empty());

    // The factory is kept in-process and hands out its one object.
    ASSERT_TRUE(app->ClassFactory());
    ComPtr<IApplication> first, second;
    ASSERT_EQ(app->ClassFactory()->CreateInstance(nullptr, IApplication::iid,
                                                  reinterpret_cast<void**>(first.ReleaseAndGetAddressOf())), S_OK);
    ASSERT_EQ(app->ClassFactory()->CreateInstance(nullptr, IApplication::iid,
                                                  reinterpret_cast<void**>(second.ReleaseAndGetAddressOf())), S_OK);
    EXPECT_EQ(first.Get(), second.Get());
    EXPECT_EQ(first.Get(), app->Application());
    void* aggregated = nullptr;
    EXPECT_EQ(app->ClassFactory()->CreateInstance(first.Get(), IApplication::iid, &aggregated), CLASS_E_NOAGGREGATION);
    first.Reset();
    second.Reset();

    // Exit: the window goes (capturing its placement), the placement is
    // written, the factory and with it the object are released.
    events.clear();
    app->ExitInstance();
    EXPECT_EQ(events, (Events{"window destroyed", "save placement", "application released"}));
    EXPECT_EQ(app->ClassFactory(), nullptr);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->left, 10);
    EXPECT_EQ(saved->top, 20);
    EXPECT_EQ(saved->width, kUseDefaultPlacement);
}

TEST_F(DisplayAppTest, AutomationStartRegistersTheClassObjectAndWaitsForTheWindow)
{
    for (const char* automationSwitch : {"-Embedding", "/AUTOMATION"}) {
        events.clear();
        auto app = MakeApp();
        ASSERT_TRUE(app->InitInstance({automationSwitch})) << automationSwitch;
        EXPECT_EQ(events, (Events{"load placement", "create application object", "register class object",
                                  "initialize"}));
        EXPECT_TRUE(app->StartedByAutomation());
        EXPECT_EQ(app->ClassFactory(), nullptr);
        ASSERT_NE(registered, nullptr);
        EXPECT_EQ(app->MainWindow(), nullptr);

        // Connect or Visible ask for the window; the title set before it is kept.
        app->SetDocumentTitle(u"map.mmap");
        events.clear();
        ASSERT_TRUE(app->CreateMainWindow());
        ASSERT_TRUE(app->CreateMainWindow());  // once
        EXPECT_EQ(events, (Events{"create window", "attach control"}));
        EXPECT_EQ(app->MainWindow()->windowTitle(), QStringLiteral("map.mmap"));
        app->StandaloneModeChanged(false);
        app->SendExitCommand();
        app->PrintActiveView(true);

        events.clear();
        app->ExitInstance();
        EXPECT_EQ(events, (Events{"window destroyed", "save placement", "revoke class objects",
                                  "application released"}));
    }
}

TEST_F(DisplayAppTest, RegistrationSwitchesEndTheProcessWithoutAnObjectOrWindow)
{
    const std::string clsidKey = "SOFTWARE/Classes/CLSID/{F11FA755-D185-4670-A20D-A3C59ED7DB35}";
    auto registering = MakeApp();
    EXPECT_FALSE(registering->InitInstance({"/RegServer"}));
    EXPECT_EQ(registering->ExitCode(), 0);
    EXPECT_EQ(store.GetString(clsidKey + "/LocalServer32"), "/opt/qmx/bin/QMXGanttDisplay");
    EXPECT_TRUE(store.KeyExists("SOFTWARE/QMX/QMXGanttDisplay/Adapters"));

    auto unregistering = MakeApp();
    EXPECT_FALSE(unregistering->InitInstance({"-unregister"}));
    EXPECT_EQ(unregistering->ExitCode(), 0);
    EXPECT_FALSE(store.KeyExists(clsidKey));
    EXPECT_TRUE(store.KeyExists("SOFTWARE/QMX/QMXGanttDisplay/Adapters"));
    EXPECT_TRUE(store.KeyExists(kSettingsKey));
    EXPECT_EQ(events, (Events{"load placement", "load placement"}));
}

TEST_F(DisplayAppTest, FailedStepsEndTheStart)
{
    struct Row {
        const char* what;
        Options options;
        QStringList arguments;
        Events expected;
    };
    const Row rows[] = {
        {"no language", {false, S_OK, true, true}, {}, {}},
        {"adapters", {true, E_FAIL, true, true}, {"a.qmxg"},
         {"load placement", "create application object", "initialize", "application released"}},
        {"window", {true, S_OK, false, true}, {"a.qmxg"},
         {"load placement", "create application object", "initialize", "create window", "application released"}},
        {"class object", {true, S_OK, true, false}, {"-Embedding"},
         {"load placement", "create application object", "register class object", "application released"}},
    };
    for (const Row& row : rows) {
        events.clear();
        ui.messages.clear();
        {
            auto app = MakeApp(row.options);
            EXPECT_FALSE(app->InitInstance(row.arguments)) << row.what;
            EXPECT_EQ(app->ExitCode(), 1) << row.what;
        }
        EXPECT_EQ(events, row.expected) << row.what;
        if (!row.options.languagePresent) {
            ASSERT_EQ(ui.messages.size(), 1u);
            EXPECT_EQ(ui.messages[0].text, "Failed to load language DLL");
            EXPECT_EQ(ui.messages[0].icon, MessageIcon::Error);
        } else {
            EXPECT_TRUE(ui.messages.empty()) << row.what;
        }
    }
}

TEST_F(DisplayAppTest, RecentFilesAreKeptUnderTheProfileOfString139)
{
    auto app = MakeApp();
    ASSERT_TRUE(app->InitInstance({}));
    app->AddRecentFile(u"/plans/a.qmxg");
    app->AddRecentFile(u"/plans/b.qmxg");
    const std::string key = "Software/" + LanguageResources::String(139).toStdString() + "/QMXGanttDisplay/Recent File List";
    EXPECT_EQ(store.GetString(key, "File1"), "/plans/b.qmxg");
    EXPECT_EQ(store.GetString(key, "File2"), "/plans/a.qmxg");
    app->ExitInstance();

    auto next = MakeApp();
    ASSERT_TRUE(next->InitInstance({}));
    EXPECT_EQ(next->RecentFiles()->Files(), (std::vector<std::u16string>{u"/plans/b.qmxg", u"/plans/a.qmxg"}));
}

// The end of the desktop session asks about a modified stand-alone plan as
// closing does, and says when the end must be cancelled.
TEST_F(DisplayAppTest, TheEndOfTheSessionAsksToSaveAndMayBeCancelled)
{
    struct Row {
        const char* what;
        bool standalone, mayInteract, canClose, modified;
        bool goesOn;
        bool asked;
    };
    const Row rows[] = {
        {"saved or discarded", true, true, true, true, true, true},
        {"cancelled or the save failed", true, true, false, true, false, true},
        {"modified, nobody may be asked", true, false, true, true, false, false},
        {"unmodified, nobody may be asked", true, false, true, false, true, false},
        {"hosted: the host's plan", false, true, false, true, true, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        auto app = MakeApp();
        EXPECT_TRUE(app->CommitSessionData(row.mayInteract));  // nothing started yet
        ASSERT_TRUE(app->InitInstance({}));
        auto* fake = static_cast<FakeApplication*>(app->Application());
        fake->standalone = row.standalone;
        fake->canClose = row.canClose;
        fake->modified = row.modified;
        events.clear();
        EXPECT_EQ(app->CommitSessionData(row.mayInteract), row.goesOn);
        EXPECT_EQ(events, row.asked ? Events{"prompt to save"} : Events{});
        app->ExitInstance();
    }
}

}  // namespace
}  // namespace qmx
