// The host's window, headless: the outline follows the map whatever changes
// it, edits in the window go through the store with their events, copy and
// paste give new GUIDs with the old values, files open and save through the
// prompts, and add-ins load from the registry with their commands.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include "automation/bstr.h"
#include "automation/runtime/registration.h"
#include "maphost/app/add_in_manager.h"
#include "maphost/app/host_prompts.h"
#include "maphost/app/map_host_window.h"
#include "maphost/app/map_outline.h"
#include "maphost/app/topic_panel.h"
#include "maphost/store/tests/event_recorder.h"

namespace qmx::map {
namespace {

using testing::Subscription;
using Events = std::vector<std::string>;

class FakePrompts final : public HostPrompts {
public:
    QString OpenFileName(QWidget*) override { return openName; }
    QString SaveFileName(QWidget*, const QString& suggested) override
    {
        suggestedNames.append(suggested);
        return saveName;
    }
    SaveAnswer AskToSave(QWidget*, const QString& mapName) override
    {
        asked.append(mapName);
        return saveAnswer;
    }
    std::optional<QColor> Colour(QWidget*, const QColor&) override { return colour; }
    void ShowError(QWidget*, const QString& message) override { errors.append(message); }

    QString openName, saveName;
    SaveAnswer saveAnswer = SaveAnswer::Cancel;
    std::optional<QColor> colour;
    QStringList suggestedNames, asked, errors;
};

class MapHostWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        app = MakeObject<MapApplication>();
        auto addIns = std::make_unique<AddInManager>(app.Get());
        window = std::make_unique<MapHostWindow>(app.Get(), &prompts, std::move(addIns));
        window->NewMap();
        window->show();
    }
    void TearDown() override { window.reset(); }

    QAction* Action(const char* name) { return window->findChild<QAction*>(QString::fromLatin1(name)); }
    MapTopic* Central() { return app->ActiveDocument()->Central(); }
    QTreeWidgetItem* Item(MapTopic* topic) { return window->outline()->ItemFor(topic); }
    ComPtr<IMmTopic> Add(IMmTopic* parent, const char16_t* text)
    {
        ComPtr<IMmTopic> topic;
        parent->AddSubTopic(text, topic.ReleaseAndGetAddressOf());
        return topic;
    }
    MapTopic* Topic(IMmTopic* topic) { return static_cast<MapTopic*>(topic); }

    ComPtr<MapApplication> app;
    FakePrompts prompts;
    std::unique_ptr<MapHostWindow> window;
};

TEST_F(MapHostWindowTest, TheOutlineFollowsChangesMadeThroughTheStore)
{
    ComPtr<IMmTopic> a = Add(Central(), u"A");
    ComPtr<IMmTopic> b = Add(Central(), u"B");
    ComPtr<IMmTopic> a1 = Add(a.Get(), u"A1");
    QTreeWidgetItem* top = window->outline()->topLevelItem(0);
    ASSERT_EQ(top->childCount(), 2);
    EXPECT_EQ(top->child(0)->text(0), "A");
    EXPECT_EQ(top->child(0)->child(0)->text(0), "A1");
    a->put_Text(u"Renamed");
    b->put_FillColor(0xFF00FF00);
    EXPECT_EQ(top->child(0)->text(0), "Renamed");
    EXPECT_EQ(top->child(1)->background(0).color(), QColor(0, 255, 0));
    ComPtr<IMmTopics> list;
    Central()->get_SubTopics(VARIANT_FALSE, list.ReleaseAndGetAddressOf());
    list->Insert(a1.Get(), 1);
    EXPECT_EQ(top->child(0)->text(0), "A1");
    EXPECT_EQ(top->child(1)->childCount(), 0);
    a->put_Collapsed(VARIANT_TRUE);
    EXPECT_FALSE(Item(Topic(a.Get()))->isExpanded());
    a->Delete();
    EXPECT_EQ(top->childCount(), 2);
    EXPECT_EQ(Item(Topic(a.Get())), nullptr);
    EXPECT_TRUE(window->windowTitle().startsWith("Map1*"));
}

TEST_F(MapHostWindowTest, EditsInTheWindowRaiseTheStoresEvents)
{
    Subscription events(app.Get(), kEventTopicMask);
    window->outline()->setFocus();
    window->outline()->setCurrentItem(Item(Central()));
    window->AddSubTopic();  // opens the new item's editor
    QWidget* editor = window->outline()->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, "Write");
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, "Plan it");
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();  // the editor hands its text on from the event loop
    ASSERT_EQ(Central()->Children().size(), 1u);
    MapTopic* topic = Central()->Children()[0];
    EXPECT_EQ(topic->Values().text, u"Plan it");
    EXPECT_EQ(events.events(), (Events{"1/1:Topic", "1/2:Topic", "4/1:Topic", "4/2:Plan it"}));

    // The panel writes the task information.
    window->outline()->setCurrentItem(Item(topic));
    events.events().clear();
    window->panel()->priorityBox()->setValue(3);
    window->panel()->startEdit()->setText("2026-12-08 09:30");
    QMetaObject::invokeMethod(window->panel()->startEdit(), "editingFinished");
    window->panel()->dueEdit()->setText("8.12.2026");
    QMetaObject::invokeMethod(window->panel()->dueEdit(), "editingFinished");
    EXPECT_EQ(topic->Values().task.priority, 3);
    EXPECT_EQ(TopicPanel::DateText(topic->Values().task.start), "2026-12-08 09:30");
    EXPECT_EQ(topic->Values().task.due, 0) << "a text that is no date changes nothing";
    ASSERT_EQ(prompts.errors.size(), 1);
    EXPECT_TRUE(prompts.errors[0].contains("is not a date"));
    prompts.colour = QColor(0x33, 0x66, 0x99);
    QTest::mouseClick(window->panel()->fillButton(), Qt::LeftButton);
    EXPECT_EQ(topic->Values().fill, std::optional<DWORD>(0xFF336699));
    QTest::mouseClick(window->panel()->noFillButton(), Qt::LeftButton);
    EXPECT_FALSE(topic->Values().fill);
    EXPECT_EQ(events.events(), (Events{"4/1:Plan it", "4/2:Plan it", "4/1:Plan it", "4/2:Plan it", "4/1:Plan it",
                                       "4/2:Plan it", "4/1:Plan it", "4/2:Plan it"}));

    // Delete from the keyboard, on the outline.
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    events.events().clear();
    window->outline()->setFocus();
    QTest::keyClick(window->outline(), Qt::Key_Delete);
    EXPECT_TRUE(Central()->Children().empty());
    EXPECT_EQ(events.events(), (Events{"2/1:Plan it", "2/2:Plan it"}));
}

TEST_F(MapHostWindowTest, PastedTopicsGetNewGuidsAndKeepTheirValues)
{
    ComPtr<IMmTopic> a = Add(Central(), u"A");
    ComPtr<IMmTopic> a1 = Add(a.Get(), u"A1");
    ComPtr<IMmAttributes> attributes;
    a1->get_Attributes(u"urn:plan", attributes.ReleaseAndGetAddressOf());
    attributes->SetAttributeValue(u"GuidCopy", u"{old}");
    ComPtr<IMmTopic> b = Add(Central(), u"B");
    window->outline()->setCurrentItem(Item(Topic(a.Get())));
    window->CopyTopic();
    window->outline()->setCurrentItem(Item(Topic(b.Get())));
    Subscription added(app.Get(), kEventTopicAdded);
    window->PasteTopic();
    EXPECT_EQ(added.events(), (Events{"1/1:A", "1/2:A", "1/1:A1", "1/2:A1"}));
    ASSERT_EQ(Topic(b.Get())->Children().size(), 1u);
    MapTopic* copy = Topic(b.Get())->Children()[0];
    ASSERT_EQ(copy->Children().size(), 1u);
    MapTopic* copy1 = copy->Children()[0];
    EXPECT_NE(copy->Guid(), Topic(a.Get())->Guid());
    EXPECT_NE(copy1->Guid(), Topic(a1.Get())->Guid());
    EXPECT_TRUE(copy1->Values() == Topic(a1.Get())->Values());
    EXPECT_EQ(Item(copy1)->text(0), "A1");

    // Cut takes the topic away; pasting it back brings a new copy.
    window->outline()->setCurrentItem(Item(Topic(a.Get())));
    window->CutTopic();
    EXPECT_EQ(Central()->Children().size(), 1u);
    window->outline()->setCurrentItem(Item(Central()));
    window->PasteTopic();
    EXPECT_EQ(Central()->Children().size(), 2u);
    // The central topic stays.
    window->outline()->setCurrentItem(Item(Central()));
    window->CutTopic();
    EXPECT_EQ(app->ActiveDocument()->Central(), Central());
}

TEST_F(MapHostWindowTest, MovesStayAmongTheSiblings)
{
    ComPtr<IMmTopic> a = Add(Central(), u"A");
    ComPtr<IMmTopic> b = Add(Central(), u"B");
    window->outline()->setCurrentItem(Item(Topic(a.Get())));
    window->MoveTopic(1);
    EXPECT_EQ(Central()->Children()[1], Topic(a.Get()));
    window->MoveTopic(1);  // already last
    EXPECT_EQ(Central()->Children()[1], Topic(a.Get()));
    EXPECT_EQ(window->outline()->currentItem(), Item(Topic(a.Get())));
    window->MoveTopic(-1);
    EXPECT_EQ(Central()->Children()[0], Topic(a.Get()));
    EXPECT_TRUE(prompts.errors.isEmpty());
}

TEST_F(MapHostWindowTest, FilesOpenSaveAndCloseWithTheQuestionOfSaving)
{
    QTemporaryDir folder;
    Add(Central(), u"A");
    prompts.saveName = folder.filePath("plan.mmap");
    ASSERT_TRUE(window->Save()) << prompts.errors.join("\n").toStdString();
    EXPECT_EQ(prompts.suggestedNames, QStringList{"Map1.mmap"});
    EXPECT_TRUE(window->windowTitle().startsWith("plan.mmap - "));

    window->NewMap();
    EXPECT_EQ(window->mapChooser()->count(), 2);
    EXPECT_EQ(window->mapChooser()->currentText(), "Map2");
    EXPECT_EQ(window->outline()->topLevelItem(0)->childCount(), 0);
    Add(Central(), u"unsaved");
    prompts.saveAnswer = HostPrompts::SaveAnswer::Cancel;
    EXPECT_FALSE(window->CloseMap());
    EXPECT_EQ(prompts.asked, QStringList{"Map2"});
    prompts.saveAnswer = HostPrompts::SaveAnswer::Discard;
    EXPECT_TRUE(window->CloseMap());
    EXPECT_EQ(window->mapChooser()->count(), 1);
    EXPECT_EQ(window->outline()->topLevelItem(0)->child(0)->text(0), "A");
    EXPECT_TRUE(window->CloseMap()) << "saved: no question";
    EXPECT_EQ(window->outline()->topLevelItemCount(), 0);
    EXPECT_FALSE(Action("editDelete")->isEnabled());

    prompts.openName = folder.filePath("plan.mmap");
    window->OpenWithDialog();
    ASSERT_NE(app->ActiveDocument(), nullptr);
    EXPECT_EQ(window->outline()->topLevelItem(0)->child(0)->text(0), "A");
    EXPECT_FALSE(window->OpenMap(folder.filePath("missing.mmap")));
    ASSERT_EQ(prompts.errors.size(), 1);
    EXPECT_TRUE(prompts.errors[0].contains("No such file")) << prompts.errors[0].toStdString();
}

// ---- Add-ins ----

const char* const kTestProgId = "QMX.TestMapAddIn.1";

void RegisterTestAddIn(std::uint32_t loadBehavior)
{
    RegistryStore store;
    const std::string library = std::string(std::getenv("QMX_BUILD_LIB_DIR")) + "/libqmx_test_map_addin.so";
    ClassInfo info{MakeGuid("{5B1D7E0C-3F4A-4C59-9E41-7A2D1C0B6E11}"), kTestProgId, "QMX.TestMapAddIn", "Test add-in"};
    ASSERT_EQ(RegisterInprocServer(store, info, library), S_OK);
    const std::string key = std::string(kAddInsKey) + "/" + kTestProgId;
    store.SetString(key, "FriendlyName", "Test Add-in");
    store.SetNumber(key, "LoadBehavior", loadBehavior);
}

std::string AddInLog()
{
    const std::string library = std::string(std::getenv("QMX_BUILD_LIB_DIR")) + "/libqmx_test_map_addin.so";
    void* handle = ::dlopen(library.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (!handle) return "(not loaded)";
    auto log = reinterpret_cast<const char* (*)()>(::dlsym(handle, "QmxTestAddInLog"));
    std::string text = log ? log() : "(no log)";
    ::dlclose(handle);
    return text;
}

TEST_F(MapHostWindowTest, AddInsLoadAtStartAndTheirCommandsFollowTheirState)
{
    RegisterTestAddIn(kLoadAtStartup);
    const std::string before = AddInLog();
    window->addIns().LoadAtStartup();
    EXPECT_TRUE(window->addIns().IsLoaded(kTestProgId));
    const auto log = [&] { return AddInLog().substr(before == "(not loaded)" ? 0 : before.size()); };
    EXPECT_EQ(log(), "OnConnection(1,place);OnStartupComplete;");

    QAction* command = window->findChild<QAction*>("TestCommand");
    ASSERT_NE(command, nullptr);
    EXPECT_EQ(command->text(), "&Test Command");
    EXPECT_TRUE(window->addInsToolBar()->actions().contains(command));
    EXPECT_TRUE(command->isEnabled());
    command->trigger();
    ASSERT_EQ(Central()->Children().size(), 1u);
    EXPECT_EQ(Central()->Children()[0]->Values().text, u"Added by add-in");
    EXPECT_EQ(window->outline()->topLevelItem(0)->child(0)->text(0), "Added by add-in");

    prompts.saveAnswer = HostPrompts::SaveAnswer::Discard;
    window->CloseMap();
    EXPECT_FALSE(command->isEnabled()) << "no map open";

    EXPECT_EQ(window->addIns().Unload(kTestProgId, kDisconnectUserClosed), S_OK);
    EXPECT_EQ(window->findChild<QAction*>("TestCommand"), nullptr);
    EXPECT_TRUE(log().ends_with("OnRun;OnDisconnection(1);")) << log();
    EXPECT_EQ(window->addIns().Unload(kTestProgId, kDisconnectUserClosed), S_FALSE);

    // Loaded again by hand, then the host goes: shutdown first, then the
    // disconnection.
    ASSERT_EQ(window->addIns().Load(kTestProgId, kConnectAfterStartup), S_OK);
    EXPECT_NE(window->findChild<QAction*>("TestCommand"), nullptr);
    window.reset();
    EXPECT_TRUE(log().ends_with("OnConnection(0,place);OnBeginShutdown;OnDisconnection(0);")) << log();
}

TEST_F(MapHostWindowTest, AddInsThatCannotLoadSayWhy)
{
    RegisterTestAddIn(0);
    RegistryStore().SetNumber(std::string(kAddInsKey) + "/Missing.AddIn.1", "LoadBehavior", kLoadAtStartup);
    window->addIns().LoadAtStartup();
    EXPECT_FALSE(window->addIns().IsLoaded(kTestProgId)) << "LoadBehavior 0 waits for the user";
    const std::vector<AddInEntry> entries = window->addIns().List();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].friendlyName, "Test Add-in");
    std::string why;
    EXPECT_TRUE(FAILED(window->addIns().Load("Missing.AddIn.1", kConnectAfterStartup, &why)));
    EXPECT_FALSE(why.empty());
}

TEST_F(MapHostWindowTest, ClientsShowAndHideTheWindowThroughTheApplication)
{
    ComPtr<IMmApplicationWindow> face;
    ASSERT_EQ(app->QueryInterface(IMmApplicationWindow::iid, reinterpret_cast<void**>(face.ReleaseAndGetAddressOf())),
              S_OK);
    VARIANT_BOOL visible = VARIANT_FALSE;
    ASSERT_EQ(face->get_Visible(&visible), S_OK);
    EXPECT_EQ(visible, VARIANT_TRUE);
    ASSERT_EQ(face->put_Visible(VARIANT_FALSE), S_OK);
    EXPECT_FALSE(window->isVisible());
    ASSERT_EQ(face->get_Visible(&visible), S_OK);
    EXPECT_EQ(visible, VARIANT_FALSE);
    ASSERT_EQ(face->put_Visible(VARIANT_TRUE), S_OK);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(face->get_Visible(nullptr), E_POINTER);

    // Without its window the program has nothing to show.
    window.reset();
    ASSERT_EQ(face->get_Visible(&visible), S_OK);
    EXPECT_EQ(visible, VARIANT_FALSE);
    EXPECT_EQ(face->put_Visible(VARIANT_TRUE), E_FAIL);
}

// Alt and a letter opens a menu of the menu bar; no label or button of the
// window may take the same letter, nor two of them one letter.
TEST_F(MapHostWindowTest, EveryAltLetterLeadsToOnePlace)
{
    std::map<QChar, QString> taken;
    const auto take = [&](const QString& text) {
        const qsizetype at = text.indexOf(u'&');
        if (at < 0 || at + 1 >= text.size() || text[at + 1] == u'&') return;
        const QChar letter = text[at + 1].toLower();
        EXPECT_FALSE(taken.contains(letter)) << "Alt+" << QString(letter).toStdString() << ": "
                                             << taken[letter].toStdString() << " and " << text.toStdString();
        taken[letter] = text;
    };
    for (QAction* menu : window->menuBar()->actions()) take(menu->text());
    for (QLabel* label : window->findChildren<QLabel*>()) take(label->text());
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) take(button->text());
    EXPECT_GE(taken.size(), 10u);
}

TEST_F(MapHostWindowTest, LooksLikeAnOutline)
{
    ComPtr<IMmTopic> a = Add(Central(), u"Design");
    Add(a.Get(), u"Sketch");
    ComPtr<IMmTopic> b = Add(Central(), u"Build");
    b->put_FillColor(0xFFFFE080);
    window->outline()->expandAll();
    const QImage picture = window->grab().toImage();
    picture.save(QString::fromStdString(std::string(std::getenv("XDG_RUNTIME_DIR")) + "/map_host_window.png"));
    EXPECT_FALSE(picture.isNull());
}

}  // namespace
}  // namespace qmx::map

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
