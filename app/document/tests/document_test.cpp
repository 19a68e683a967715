// Adapter discovery, the File commands, opening by name, the prompt to save,
// adapter errors and Shutdown.
#include "app/document/tests/app_object_fixture.h"

#include "adapters/contract/adapter_site.h"
#include "app/document/message_ids.h"

namespace qmx::testing {
namespace {

TEST_F(AppObjectTest, AdaptersThatDoNotLoadAreReportedAndLeftOut)
{
    Register({kAdapterA, "QMXTest.Missing", kAdapterC, kAdapterB});
    Profile(kAdapterC).connectResult = E_FAIL;
    ASSERT_EQ(controller_->Initialize(), S_OK);
    // The registry lists its keys sorted: A, B, C, Missing.
    EXPECT_EQ(ui_.Texts(), (Lines{Message(kMsgAdapterNotLoaded, {u"QMXTest.AdapterC"}),
                                  Message(kMsgAdapterNotLoaded, {u"QMXTest.Missing"})}));
    EXPECT_EQ(ui_.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(Journal(), (Lines{"A Connect", "B Connect", "C Connect"}));

    // C is offered nowhere: not in the open filter, not for its extension.
    ui_.messages.clear();
    commands_->Execute(Op(57601));
    EXPECT_EQ(ui_.fileDialogs,
              Lines{"open Plan A (*.pln)|*.pln|Text A (*.txt)|*.txt|Plan B (*.pln)|*.pln|Map B (*.map)|*.map||"});
    EXPECT_EQ(controller_->OpenDocument(u"/plans/x.ccc"), E_FAIL);
    EXPECT_EQ(ui_.Texts(), Lines{Message(kMsgNoAdapterForFile)});
}

TEST_F(AppObjectTest, MissingAdaptersKeyFailsTheStart)
{
    store_->DeleteKey(kAdaptersKey);
    EXPECT_EQ(controller_->Initialize(), E_FAIL);
    EXPECT_EQ(ui_.Texts(), Lines{Message(kMsgAdaptersKeyMissing, {u"HKEY_LOCAL_MACHINE", Utf8ToBstr(kAdaptersKey)})});
}

TEST_F(AppObjectTest, NoAdaptersMeansNoDocumentTypes)
{
    Register({});
    ASSERT_EQ(controller_->Initialize(), S_OK);
    for (const int command : {57600, 57601}) {
        ui_.messages.clear();
        EXPECT_EQ(commands_->Execute(Op(command)), S_FALSE);
        EXPECT_EQ(ui_.Texts(), Lines{Message(kMsgNoDocumentTypes)}) << command;
        EXPECT_EQ(ui_.messages[0].icon, MessageIcon::Exclamation);
    }
    EXPECT_TRUE(ui_.fileDialogs.empty());
    EXPECT_TRUE(ui_.typeLists.empty());
}

TEST_F(AppObjectTest, OpeningByNameMatchesTheExtensionExactly)
{
    ASSERT_EQ(controller_->Initialize(), S_OK);
    struct Row {
        std::u16string name;
        HRESULT result;
        std::string opened;  // the journal's FileOpen line, empty for none
        std::string title;
    };
    const Row rows[] = {
        {u"/plans/plan.pln", S_OK, "A FileOpen 0 /plans/plan.pln", "plan.pln"},  // A is listed first
        {u"/plans/notes.txt", S_OK, "A FileOpen 1 /plans/notes.txt", "notes.txt"},
        {u"/plans/world.map", S_OK, "B FileOpen 1 /plans/world.map", "world.map"},
        {u"/plans/PLAN.PLN", E_FAIL, "", ""},     // extensions are case-sensitive
        {u"/plans/plan", E_FAIL, "", ""},         // no extension
        {u"/plans.pln/plan", E_FAIL, "", ""},     // a dot of the folder is none
        {u"/plans/plan.pln.bak", E_FAIL, "", ""}, // the text after the last dot
    };
    for (const Row& row : rows) {
        // Start from no document each time.
        commands_->Execute(Op(57602));
        Journal().clear();
        ui_.messages.clear();
        shell_.title.clear();
        EXPECT_EQ(controller_->OpenDocument(row.name), row.result) << BstrToUtf8(row.name);
        EXPECT_EQ(JournalOf(row.opened.empty() ? "? " : row.opened.substr(0, 2) + "FileOpen"),
                  row.opened.empty() ? Lines{} : Lines{row.opened});
        EXPECT_EQ(shell_.title, row.title);
        EXPECT_EQ(ui_.Texts(), row.result == S_OK ? Lines{} : Lines{Message(kMsgNoAdapterForFile)});
        EXPECT_EQ(ui_.waitDepth, 0);
    }
    EXPECT_EQ(shell_.recentFiles, (Lines{"/plans/plan.pln", "/plans/notes.txt", "/plans/world.map"}));
}

TEST_F(AppObjectTest, ARefusedExtensionKeepsTheOpenDocument)
{
    OpenPlan();
    EXPECT_EQ(controller_->OpenDocument(u"/plans/other.doc"), E_FAIL);
    EXPECT_TRUE(Journal().empty());
    EXPECT_EQ(shell_.title, "plan.pln");
    EXPECT_TRUE(Enabled(57603));
}

TEST_F(AppObjectTest, AFailedOpenLeavesNoHalfOpenDocument)
{
    struct Row {
        std::string description;
        std::string shown;
    };
    const Row rows[] = {{"The file is damaged.", "The file is damaged."}, {"", Message(kMsgAdapterFailed)}};
    for (const Row& row : rows) {
        OpenPlan();
        Profile(kAdapterA).fileOpenResult = E_FAIL;
        Profile(kAdapterA).failureDescription = row.description;
        ui_.messages.clear();
        EXPECT_EQ(controller_->OpenDocument(u"/plans/broken.pln"), E_FAIL);
        // The open plan was closed first, the half-read one emptied.
        EXPECT_EQ(JournalOf("A File"), (Lines{"A FileClose", "A FileOpen 0 /plans/broken.pln"}));
        EXPECT_EQ(ui_.Texts(), Lines{row.shown});
        EXPECT_EQ(ui_.messages[0].icon, MessageIcon::Error);
        LONG count = -1;
        ComPtr<ITasks> roots;
        control_->Tree()->get_RootTasks(roots.ReleaseAndGetAddressOf());
        roots->get_Count(&count);
        EXPECT_EQ(count, 0);
        EXPECT_FALSE(Enabled(57603));
        EXPECT_FALSE(Enabled(40010));
        EXPECT_EQ(shell_.title, "");
        EXPECT_FALSE(control_->panesEnabled);
        EXPECT_TRUE(shell_.recentFiles.size() == 1);
        Profile(kAdapterA) = {};
        bool canExit = false;
        controller_->Shutdown(true, &canExit);
        shell_.recentFiles.clear();
        controller_->AttachControl(control_.Get());
    }
}

TEST_F(AppObjectTest, PromptToSaveBeforeOpeningAnother)
{
    struct Row {
        MessageAnswer answer;
        HRESULT saveResult;
        HRESULT openResult;
        Lines fileCalls;
        std::string title;
    };
    const Row rows[] = {
        {MessageAnswer::Cancel, S_OK, S_FALSE, {}, "plan.pln"},
        {MessageAnswer::No, S_OK, S_OK, {"A FileClose", "A FileOpen 0 /plans/next.pln"}, "next.pln"},
        {MessageAnswer::Yes, S_OK, S_OK, {"A FileSave", "A FileClose", "A FileOpen 0 /plans/next.pln"}, "next.pln"},
        // A save that fails keeps the document open, unsaved changes and all.
        {MessageAnswer::Yes, E_FAIL, S_FALSE, {"A FileSave"}, "plan.pln"},
    };
    for (const Row& row : rows) {
        OpenPlan();
        ComPtr<ITask> task = control_->Add(0, "t");
        Modify(task.Get());
        Journal().clear();
        ui_.messages.clear();
        Profile(kAdapterA).fileSaveResult = row.saveResult;
        ui_.answers = {row.answer};
        EXPECT_EQ(controller_->OpenDocument(u"/plans/next.pln"), row.openResult);
        EXPECT_EQ(JournalOf("A File"), row.fileCalls);
        ASSERT_FALSE(ui_.messages.empty());
        EXPECT_EQ(ui_.messages[0].text, Message(kMsgSaveChanges));
        EXPECT_EQ(ui_.messages[0].buttons, MessageButtons::YesNoCancel);
        EXPECT_EQ(ui_.messages[0].icon, MessageIcon::Question);
        EXPECT_EQ(shell_.title, row.title);
        Profile(kAdapterA) = {};
        bool canExit = false;
        controller_->Shutdown(true, &canExit);
        controller_->AttachControl(control_.Get());
    }
}

TEST_F(AppObjectTest, NewSaveAsAndClose)
{
    ASSERT_EQ(controller_->Initialize(), S_OK);
    ui_.typeAnswer = std::nullopt;
    EXPECT_EQ(commands_->Execute(Op(57600)), S_FALSE);
    EXPECT_EQ(ui_.typeLists, (std::vector<Lines>{{"new", "Plan A", "Text A", "Plan B", "Map B"}}));
    EXPECT_TRUE(JournalOf("A File").empty());

    ui_.typeAnswer = 2;
    EXPECT_EQ(commands_->Execute(Op(57600)), S_OK);
    EXPECT_EQ(JournalOf("B File"), Lines{"B FileNew 0"});
    EXPECT_EQ(shell_.title, "Untitled");
    EXPECT_TRUE(control_->panesEnabled);

    // A new document has no file yet: Save asks for one.
    ui_.saveAnswer = u"/plans/fresh.pln";
    EXPECT_EQ(commands_->Execute(Op(57603)), S_OK);
    EXPECT_EQ(ui_.fileDialogs, Lines{"save Plan B (*.pln)|*.pln|Map B (*.map)|*.map|||pln|Untitled"});
    EXPECT_EQ(JournalOf("B FileSave"), Lines{"B FileSaveAs /plans/fresh.pln"});
    EXPECT_EQ(shell_.title, "fresh.pln");
    EXPECT_EQ(shell_.recentFiles, Lines{"/plans/fresh.pln"});

    // Now it has one.
    Journal().clear();
    EXPECT_EQ(commands_->Execute(Op(57603)), S_OK);
    EXPECT_EQ(JournalOf("B FileSave"), Lines{"B FileSave"});

    EXPECT_EQ(commands_->Execute(Op(57602)), S_OK);
    EXPECT_EQ(JournalOf("B FileClose"), Lines{"B FileClose"});
    EXPECT_EQ(shell_.title, "");
    EXPECT_FALSE(control_->panesEnabled);
    EXPECT_EQ(control_->view, gcTasksView);
    EXPECT_FALSE(Enabled(57602));
    EXPECT_EQ(ui_.waitDepth, 0);
}

TEST_F(AppObjectTest, AFailedNewShowsTheAdapterError)
{
    ASSERT_EQ(controller_->Initialize(), S_OK);
    Profile(kAdapterA).fileNewResult = E_OUTOFMEMORY;
    Profile(kAdapterA).failureDescription = "No room.";
    ui_.typeAnswer = 0;
    EXPECT_EQ(commands_->Execute(Op(57600)), E_OUTOFMEMORY);
    EXPECT_EQ(ui_.Texts(), Lines{"No room."});
    EXPECT_FALSE(Enabled(57603));
}

TEST_F(AppObjectTest, ShutdownClosesOrEmptiesAndLetsTheAdaptersGo)
{
    struct Row {
        bool force;
        MessageAnswer answer;
        bool canExit;
        Lines calls;
    };
    const Row rows[] = {
        {false, MessageAnswer::Cancel, false, {}},
        {false, MessageAnswer::No, true, {"A FileClose", "A Disconnect", "B Disconnect"}},
        // Forced: no prompt, the model is emptied, the document not closed.
        {true, MessageAnswer::Cancel, true, {"A Disconnect", "B Disconnect"}},
    };
    for (const Row& row : rows) {
        OpenPlan();
        ComPtr<ITask> task = control_->Add(0, "t");
        Modify(task.Get());
        Journal().clear();
        ui_.messages.clear();
        shell_.calls.clear();
        ui_.answers = {row.answer};
        bool canExit = !row.canExit;
        EXPECT_EQ(controller_->Shutdown(row.force, &canExit), S_OK);
        EXPECT_EQ(canExit, row.canExit);
        Lines calls;
        for (const std::string& line : Journal())
            if (line.find("File") != std::string::npos || line.find("Disconnect") != std::string::npos)
                calls.push_back(line);
        EXPECT_EQ(calls, row.calls);
        EXPECT_EQ(ui_.messages.size(), row.force ? 0u : 1u);
        EXPECT_EQ(shell_.calls, row.canExit ? Lines{"DisconnectClients"} : Lines{});
        if (row.force) {
            VARIANT_BOOL valid = VARIANT_TRUE;
            task->get_IsValid(&valid);
            EXPECT_EQ(valid, VARIANT_FALSE);
        }
        // The events are no longer heard.
        Journal().clear();
        if (row.canExit) {
            control_->Events().Fire([](_IGanttChartControlEvents* sink) { sink->TimeRangeChanged(); });
            EXPECT_TRUE(Journal().empty());
        }
        bool done = false;
        controller_->Shutdown(true, &done);
        controller_->AttachControl(control_.Get());
    }
}

TEST_F(AppObjectTest, AdapterSiteClosesAndRenames)
{
    OpenPlan();
    ComPtr<IAdapterSite> site;
    ASSERT_EQ(data_.As(&site), S_OK);
    ASSERT_EQ(site->DocumentNameChanged(), S_OK);
    EXPECT_EQ(shell_.title, "plan.pln");
    control_->calls.clear();
    ASSERT_EQ(site->DocumentClosed(), S_OK);
    // The adapter is not called back: it closed the document itself.
    EXPECT_TRUE(Journal().empty());
    EXPECT_EQ(shell_.title, "");
    EXPECT_EQ(control_->calls, (Lines{"CurrentView 0", "PanesEnabled off", "ResetTimeRange"}));
    EXPECT_FALSE(Enabled(57603));
    VARIANT_BOOL modified = VARIANT_TRUE;
    EXPECT_EQ(data_->get_IsModified(&modified), S_OK);
    EXPECT_EQ(modified, VARIANT_FALSE);
}

TEST_F(AppObjectTest, DocumentDataPassesToTheControl)
{
    ComPtr<IDocumentProperties> properties;
    ASSERT_EQ(data_->get_Properties(properties.ReleaseAndGetAddressOf()), S_OK);
    properties->put_Name(u"Project");
    properties->put_Description(u"About it");
    EXPECT_EQ(BstrToUtf8(control_->title), "Project");
    EXPECT_EQ(data_->put_CurrentViewSettings(u"v"), S_OK);
    EXPECT_EQ(data_->AdjustTimeRange(), S_OK);
    control_->Add(0, "t");
    EXPECT_EQ(data_->DeleteContents(), S_OK);
    BSTR name = u"x";
    properties->get_Name(&name);
    EXPECT_EQ(name, u"");
    EXPECT_EQ(BstrToUtf8(control_->title), "");
    ComPtr<ITaskTree> tree;
    ASSERT_EQ(data_->get_TaskTree(tree.ReleaseAndGetAddressOf()), S_OK);
    VARIANT_BOOL exists = VARIANT_TRUE;
    tree->TaskIDExists(1, &exists);
    EXPECT_EQ(exists, VARIANT_FALSE);

    // Without a control there is no plan to give.
    controller_->AttachControl(nullptr);
    EXPECT_EQ(data_->get_TaskTree(tree.ReleaseAndGetAddressOf()), E_FAIL);
    EXPECT_EQ(data_->get_Properties(nullptr), E_POINTER);
    EXPECT_EQ(data_->DeleteContents(), S_OK);
}

}  // namespace
}  // namespace qmx::testing
