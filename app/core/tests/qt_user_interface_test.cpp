#include <QApplication>
#include <QDialog>
#include <QListWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "app/core/qt_user_interface.h"
#include "app/language_resources.h"

namespace qmx {
namespace {

TEST(QtUserInterfaceTest, FileFilters)
{
    struct Row {
        std::u16string filter;
        const char* expected;
    };
    const Row rows[] = {
        {u"QMXG document (*.qmxg)|*.qmxg|XML project|*.xml|", "QMXG document (*.qmxg);;XML project (*.xml)"},
        {u"Maps|*.mmap;*.xmmap||", "Maps (*.mmap *.xmmap)"},
        {u"", ""},
        {u"Odd|", ""},  // a name without patterns is no filter
    };
    for (const Row& row : rows) EXPECT_EQ(QtFileFilter(row.filter), QString::fromUtf8(row.expected));
}

// Runs `action` once the event loop of a modal dialog is running.
void Later(std::function<void()> action) { QTimer::singleShot(0, std::move(action)); }

TEST(QtUserInterfaceTest, DocumentTypeChoiceAnswersTheDoubleClickedEntry)
{
    ASSERT_TRUE(LanguageResources::LoadFile(QStringLiteral(QMX_ENGLISH_RCC)));
    QtUserInterface ui;
    QString caption;
    Later([&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        caption = dialog->windowTitle();
        auto* list = dialog->findChild<QListWidget*>(QStringLiteral("typeList"));
        ASSERT_TRUE(list);
        ASSERT_EQ(list->count(), 2);
        emit list->itemDoubleClicked(list->item(1));
    });
    EXPECT_EQ(ui.ChooseDocumentType({u"QMXG document", u"XML project"}, true), 1);
    EXPECT_EQ(caption, LanguageResources::String(kExportDocumentCaption));

    Later([&] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) dialog->reject();
    });
    EXPECT_EQ(ui.ChooseDocumentType({u"QMXG document"}, false), std::nullopt);
}

TEST(QtUserInterfaceTest, WaitCursorNests)
{
    QtUserInterface ui;
    ui.SetWaitCursor(false);  // unbalanced: nothing
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    ui.SetWaitCursor(true);
    ui.SetWaitCursor(true);
    ui.SetWaitCursor(false);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    ui.SetWaitCursor(false);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
}  // namespace qmx
