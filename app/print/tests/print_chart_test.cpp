// The Print command over a real chart control, the print dialog answered by
// the test: the printer writes a PDF, read back with pdfinfo.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QWidget>

#include "app/language_resources.h"
#include "app/print/print_chart.h"
#include "app/user_interface.h"
#include "automation/bstr.h"
#include "automation/runtime/activation.h"
#include "automation/runtime/widget_control.h"
#include "chart/chart_control_interfaces.h"
#include "chart/tests/chart_test_support.h"

namespace qmx {
namespace {

class FakeUserInterface final : public UserInterface {
public:
    std::vector<std::u16string> messages;
    std::vector<bool> cursor;

    MessageAnswer ShowMessage(const std::u16string& text, MessageButtons, MessageIcon, MessageAnswer) override
    {
        messages.push_back(text);
        return MessageAnswer::Ok;
    }
    std::optional<std::u16string> GetOpenFileName(const std::u16string&) override { return std::nullopt; }
    std::optional<std::u16string> GetSaveFileName(const std::u16string&, const std::u16string&,
                                                  const std::u16string&) override
    {
        return std::nullopt;
    }
    std::optional<std::uint32_t> ChooseColor(std::uint32_t) override { return std::nullopt; }
    std::optional<int> ChooseDocumentType(const std::vector<std::u16string>&, bool) override { return std::nullopt; }
    void ShowContextMenu(int, int, int) override {}
    void SetWaitCursor(bool wait) override { cursor.push_back(wait); }
};

int PdfPages(const QString& pdf)
{
    QProcess info;
    info.start("pdfinfo", {pdf});
    info.waitForFinished(60000);
    const auto match = QRegularExpression("Pages:\\s+(\\d+)").match(QString::fromUtf8(info.readAllStandardOutput()));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

class PrintCommand : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        testing::EnsureApplication();
        // The messages come from the program's own English strings.
        ASSERT_TRUE(LanguageResources::LoadFile(QStringLiteral(QMX_ENGLISH_RCC)));
        ASSERT_EQ(testing::RegisterChartLibrary(), S_OK);
        ASSERT_EQ(testing::RegisterBuiltLibrary("libQMXSimpleGrid.so"), S_OK);
    }

    void SetUp() override
    {
        ComPtr<IWidgetControl> widget;
        ASSERT_EQ(CreateInstance(kGanttChartControlVersionIndependentProgId, &widget), S_OK);
        ASSERT_EQ(widget.As(&control_), S_OK);
        ASSERT_EQ(widget->CreateControlWindow(nullptr, &window_), S_OK);
        window_->resize(600, 300);
        ComPtr<ITaskTree> tree;
        control_->get_TaskTree(tree.ReleaseAndGetAddressOf());
        for (int i = 0; i < 45; ++i) {
            ComPtr<ITask> task;
            tree->AddTask(0, -1, Utf8ToBstr("Task " + std::to_string(i)), task.ReleaseAndGetAddressOf());
        }
    }

    void TearDown() override
    {
        delete window_;
        control_ = nullptr;
    }

    // A dialog answer that prints to a PDF file with the given set-up.
    ChoosePrinter ToPdf(const QString& path, const std::function<void(QPrinter&)>& setUp = {}, bool accept = true)
    {
        return [=, this](QPrinter& printer, QWidget*) {
            ++dialogs_;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(path);
            if (setUp) setUp(printer);
            return accept;
        };
    }

    ComPtr<IGanttChartControl> control_;
    QWidget* window_ = nullptr;
    FakeUserInterface ui_;
    QTemporaryDir folder_;
    int dialogs_ = 0;
};

TEST_F(PrintCommand, PrintsThePagesAskedWithTheWaitCursor)
{
    struct Case {
        int from, to;  // 0, 0: all
        int pages;
    };
    const Case cases[] = {{0, 0, 2}, {2, 2, 1}, {1, 7, 2}};
    for (const Case& c : cases) {
        const QString pdf = folder_.filePath(QString("out%1-%2.pdf").arg(c.from).arg(c.to));
        ui_.cursor.clear();
        const bool printed = PrintChart(window_, control_.Get(), ui_, ToPdf(pdf, [&](QPrinter& printer) {
            printer.setPageSize(QPageSize(QPageSize::A4));
            if (c.from > 0) {
                printer.setPrintRange(QPrinter::PageRange);
                printer.setFromTo(c.from, c.to);
            }
        }));
        EXPECT_TRUE(printed);
        EXPECT_EQ(PdfPages(pdf), c.pages) << c.from << "-" << c.to;
        EXPECT_EQ(ui_.cursor, (std::vector<bool>{true, false}));
    }
    // Landscape A4 holds 29 rows: the same plan takes two pages too, and
    // a page range past the end prints nothing.
    const QString late = folder_.filePath("late.pdf");
    EXPECT_FALSE(PrintChart(window_, control_.Get(), ui_, ToPdf(late, [](QPrinter& printer) {
        printer.setPageOrientation(QPageLayout::Landscape);
        printer.setPrintRange(QPrinter::PageRange);
        printer.setFromTo(3, 4);
    })));
    EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(PrintCommand, CancelAndPaperTooSmall)
{
    const QString cancelled = folder_.filePath("cancelled.pdf");
    EXPECT_FALSE(PrintChart(window_, control_.Get(), ui_, ToPdf(cancelled, {}, false)));
    EXPECT_EQ(dialogs_, 1);
    EXPECT_TRUE(ui_.cursor.empty());
    EXPECT_FALSE(QFile::exists(cancelled) && QFileInfo(cancelled).size() > 0);

    // A strip of paper 30 mm high has no room for a row below the header.
    const QString strip = folder_.filePath("strip.pdf");
    EXPECT_FALSE(PrintChart(window_, control_.Get(), ui_, ToPdf(strip, [](QPrinter& printer) {
        printer.setPageSize(QPageSize(QSizeF(210, 30), QPageSize::Millimeter));
    })));
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0],
              u"The paper is too small to print the chart. Choose a larger paper size or another orientation.");
    EXPECT_EQ(ui_.cursor, (std::vector<bool>{true, false}));

    // A printer that cannot start: the file cannot be made.
    ui_.cursor.clear();
    EXPECT_FALSE(PrintChart(window_, control_.Get(), ui_, ToPdf(folder_.filePath("missing/folder/out.pdf"))));
    ASSERT_EQ(ui_.messages.size(), 2u);
    EXPECT_EQ(ui_.messages[1], u"The printer could not be started.");
    EXPECT_EQ(ui_.cursor, (std::vector<bool>{true, false}));
    EXPECT_EQ(LanguageResources::String(kPrintingFailedMessage), QStringLiteral("Printing failed."));

    // Without a control nothing is asked.
    EXPECT_FALSE(PrintChart(window_, nullptr, ui_, ToPdf(strip)));
    EXPECT_EQ(dialogs_, 3);
}

}  // namespace
}  // namespace qmx
