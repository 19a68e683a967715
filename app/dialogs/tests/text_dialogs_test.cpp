// The resource name and document properties dialogs, and the edits behind
// their commands.
#include "app/dialogs/text_dialogs.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>

#include "adapters/contract/document_data.h"
#include "app/dialogs/tests/recording_adapter.h"
#include "app/dialogs/tests/scripted_user_interface.h"
#include "grid/tests/grid_test_support.h"
#include "model/null_sinks.h"
#include "model/project_model.h"

namespace qmx {
namespace {

using ::testing::ElementsAre;
using testing::RecordingAdapter;
using testing::ScriptedUserInterface;

class Properties final : public ComObject<IDocumentProperties> {
public:
    BSTR name = u"Plan";
    BSTR description = u"Old";
    HRESULT get_Name(BSTR* p) override { return *p = name, S_OK; }
    HRESULT put_Name(const BSTR& v) override { return name = v, S_OK; }
    HRESULT get_Description(BSTR* p) override { return *p = description, S_OK; }
    HRESULT put_Description(const BSTR& v) override { return description = v, S_OK; }
};

// Answers the next modal dialog: fills its line and text and confirms or cancels.
// A picture of the dialog is saved under the given name, when there is one.
void AnswerNextDialog(const QString& line, const QString& text, bool ok, const char* picture = nullptr)
{
    QTimer::singleShot(0, [=] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QLineEdit*>(QStringLiteral("nameEdit"))->setText(line);
        if (auto* edit = dialog->findChild<QPlainTextEdit*>(QStringLiteral("descriptionEdit"))) edit->setPlainText(text);
        if (picture) {
            EXPECT_FALSE(testing::SavePicture(dialog->grab().toImage(), picture).empty());
        }
        if (ok)
            dialog->accept();
        else
            dialog->reject();
    });
}

TEST(TextDialogs, ShowPresetTextsAndHandBackTheEditedOnesOnOk)
{
    testing::EnsureApplication();
    std::u16string name = u"Ann";
    AnswerNextDialog(QStringLiteral("Anna"), QString(), true, "resource_name_dialog");
    EXPECT_TRUE(RunResourceNameDialog(nullptr, name));
    EXPECT_EQ(name, u"Anna");
    AnswerNextDialog(QStringLiteral("Bob"), QString(), false);
    EXPECT_FALSE(RunResourceNameDialog(nullptr, name));
    EXPECT_EQ(name, u"Anna");

    std::u16string title = u"Plan";
    std::u16string description = u"Old";
    AnswerNextDialog(QStringLiteral("Plan B"), QStringLiteral("Two\nlines"), true, "document_properties_dialog");
    EXPECT_TRUE(RunDocumentPropertiesDialog(nullptr, title, description));
    EXPECT_EQ(title, u"Plan B");
    EXPECT_EQ(description, u"Two\nlines");
}

TEST(TextDialogs, AResourceNameIsSetAndForwardedOnlyWhenItChanged)
{
    NullSinks sinks;
    ProjectModel model(&sinks, &sinks, &sinks, &sinks);
    ComPtr<IResource> resource;
    model.Resources()->Add(u"Ann", resource.ReleaseAndGetAddressOf());
    const auto adapter = MakeObject<RecordingAdapter>();
    ScriptedUserInterface ui;

    EXPECT_FALSE(EditResourceName(ui, resource.Get(), adapter.Get()));  // cancelled
    ui.resourceNameAnswer = u"Ann";
    EXPECT_FALSE(EditResourceName(ui, resource.Get(), adapter.Get()));  // unchanged
    ui.resourceNameAnswer = u"Anna";
    EXPECT_TRUE(EditResourceName(ui, resource.Get(), adapter.Get()));
    EXPECT_TRUE(EditResourceName(ui, resource.Get(), nullptr) == false);  // now unchanged, no adapter needed
    BSTR name;
    resource->get_Name(&name);
    EXPECT_EQ(name, u"Anna");
    EXPECT_THAT(adapter->log, ElementsAre("ResourceUpdate 1"));
}

TEST(TextDialogs, DocumentPropertiesAreSetUnlessCancelled)
{
    const auto properties = MakeObject<Properties>();
    const auto adapter = MakeObject<RecordingAdapter>();
    ScriptedUserInterface ui;
    EXPECT_FALSE(EditDocumentProperties(ui, properties.Get(), adapter.Get()));
    EXPECT_TRUE(adapter->log.empty());
    ui.documentAnswer = {u"Plan", u"Old"};  // confirmed unchanged: still forwarded
    EXPECT_TRUE(EditDocumentProperties(ui, properties.Get(), adapter.Get()));
    ui.documentAnswer = {u"Plan B", u"New"};
    EXPECT_TRUE(EditDocumentProperties(ui, properties.Get(), adapter.Get()));
    EXPECT_EQ(properties->name, u"Plan B");
    EXPECT_EQ(properties->description, u"New");
    EXPECT_THAT(adapter->log, ElementsAre("FilePropertiesUpdate", "FilePropertiesUpdate"));
}

}  // namespace
}  // namespace qmx
