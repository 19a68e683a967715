// qmxgantt render as a script runs it: a separate process, no display,
// finding the XML adapter and the chart control through the test's
// registry store. PDFs are read back with poppler's pdfinfo, pdftotext and
// pdftoppm.
#include <dlfcn.h>

#include <gtest/gtest.h>

#include <QColor>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdlib>
#include <string>

#include "automation/runtime/component_exports.h"

namespace {

struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
};

ToolRun Program(const QString& program, const QStringList& arguments, bool withoutDisplay = true)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (withoutDisplay) {
        environment.remove("QT_QPA_PLATFORM");  // the tool must choose off-screen drawing itself
        environment.remove("DISPLAY");
        environment.remove("WAYLAND_DISPLAY");
    }
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(120000)) << program.toStdString();
    ToolRun run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

ToolRun Tool(const QStringList& arguments)
{
    return Program(QString::fromUtf8(std::getenv("QMX_BUILD_BIN_DIR")) + "/qmxgantt", arguments);
}

// A plan of `count` tasks, a day each, in a week of March 2026.
QByteArray Plan(int count)
{
    QByteArray xml = "<project name=\"Export test\"><tasks>\n";
    for (int i = 1; i <= count; ++i)
        xml += "<task id=\"" + QByteArray::number(i) + "\" name=\"Task " + QByteArray::number(i) + "\" start=\"" +
               QByteArray::number(2 + i % 5) + "/3/2026\" end=\"" + QByteArray::number(3 + i % 5) + "/3/2026\"/>\n";
    return xml + "</tasks></project>\n";
}

class Render : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        for (const char* name : {"libQMXXmlAdapter.so", "libQMXGanttChartControl.so", "libQMXSimpleGrid.so"}) {
            const std::string library = std::string(std::getenv("QMX_BUILD_LIB_DIR")) + "/" + name;
            void* handle = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
            ASSERT_TRUE(handle) << dlerror();
            auto reg = reinterpret_cast<qmx::RegisterServerFn>(dlsym(handle, qmx::kRegisterServerSymbol));
            ASSERT_TRUE(reg);
            ASSERT_EQ(reg(), S_OK) << name;
        }
    }

    QString File(const QString& name, const QByteArray& content)
    {
        const QString path = folder_.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return path;
    }

    QString Out(const QString& name) const { return folder_.filePath(name); }

    // pdfinfo's "Pages" and "Page size" lines.
    static std::pair<int, QString> PdfPages(const QString& pdf)
    {
        const ToolRun info = Program("pdfinfo", {pdf}, false);
        const auto pages = QRegularExpression("Pages:\\s+(\\d+)").match(info.out);
        const auto size = QRegularExpression("Page size:\\s+([^\\n]*)").match(info.out);
        return {pages.hasMatch() ? pages.captured(1).toInt() : -1, size.captured(1).trimmed()};
    }

    QTemporaryDir folder_;
};

TEST_F(Render, PdfHoldsEveryPageOfThePaperAsked)
{
    const QString plan = File("plan.qmxg", Plan(100));
    struct Case {
        QStringList options;
        int pages;      // 44 rows a page on A4 portrait, 29 landscape, 64 on A3
        QString paper;  // as pdfinfo names it
    };
    const Case cases[] = {
        {{}, 3, "595 x 842 pts (A4)"},
        {{"--orientation=landscape"}, 4, "842 x 595 pts (A4)"},
        {{"--paper=a3"}, 2, "842 x 1191 pts (A3)"},
        {{"--paper=Letter", "--orientation=portrait"}, 3, "612 x 792 pts (letter)"},
    };
    for (const Case& c : cases) {
        const QString pdf = Out("plan.pdf");
        const ToolRun run = Tool(QStringList{"render", plan, pdf} + c.options);
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_EQ(run.out, "");
        const auto [pages, paper] = PdfPages(pdf);
        EXPECT_EQ(pages, c.pages) << c.options.join(' ').toStdString();
        EXPECT_EQ(paper, c.paper);
    }

    // The text of the pages: the title on each, every task once.
    const QString pdf = Out("a4.pdf");
    ASSERT_EQ(Tool({"render", plan, pdf}).exitCode, 0);
    const ToolRun text = Program("pdftotext", {"-layout", pdf, "-"}, false);
    EXPECT_EQ(text.out.count("Export test"), 3);
    EXPECT_TRUE(text.out.contains(QRegularExpression("Task 1\\b")));
    EXPECT_TRUE(text.out.contains("Task 44"));
    EXPECT_TRUE(text.out.contains("Task 100"));
    EXPECT_EQ(text.out.count(QRegularExpression("Task \\d+")), 100);
}

TEST_F(Render, PdfPageShowsHeaderRowsAndBarsAtTheirMillimetres)
{
    const QString pdf = Out("plan.pdf");
    ASSERT_EQ(Tool({"render", File("plan.qmxg", Plan(45)), pdf}).exitCode, 0);
    // 254 dpi: 10 pixels a millimetre.
    ASSERT_EQ(Program("pdftoppm", {"-r", "254", "-png", pdf, Out("page")}, false).exitCode, 0);
    const QImage first(Out("page-1.png"));
    const QImage second(Out("page-2.png"));
    ASSERT_FALSE(first.isNull());
    ASSERT_FALSE(second.isNull());
    EXPECT_NEAR(first.width(), 2100, 1);
    EXPECT_NEAR(first.height(), 2970, 1);
    const auto at = [](const QImage& image, double xMm, double yMm) {
        return QColor(image.pixel(int(xMm * 10), int(yMm * 10)));
    };
    const auto white = [](QColor c) { return c.red() > 250 && c.green() > 250 && c.blue() > 250; };
    // Margins empty, the title box's face inside 10..67 mm x 10..20 mm.
    EXPECT_TRUE(white(at(first, 5, 5)));
    EXPECT_TRUE(white(at(first, 205, 150)));
    const QColor face = at(first, 60, 12);
    EXPECT_FALSE(white(face));
    EXPECT_EQ(face.red(), face.blue());  // a grey
    // A row's bar on the first stripe (centre 25 mm) somewhere across the chart.
    bool bar = false;
    for (int x = 670; x < 2000 && !bar; ++x) {
        const QColor c(first.pixel(x, 250));
        bar = std::abs(c.red() - 192) < 8 && std::abs(c.green() - 224) < 8 && c.blue() > 245;
    }
    EXPECT_TRUE(bar);
    // The second page has one row: the chart (grid lines, weekends, bar)
    // stops 28 mm down.
    const auto inked = [&](const QImage& image, double top, double bottom) {
        for (int y = int(top * 10); y < int(bottom * 10); ++y)
            for (int x = 100; x < 2000; ++x)
                if (!white(QColor(image.pixel(x, y)))) return true;
        return false;
    };
    EXPECT_TRUE(inked(second, 22.5, 27.5));
    EXPECT_FALSE(inked(second, 28.5, 287));
    EXPECT_TRUE(inked(first, 22 + 43 * 6, 22 + 44 * 6));
}

TEST_F(Render, PictureHasTheSizeAsked)
{
    const QString plan = File("plan.qmxg", Plan(12));
    const QString png = Out("view.png");
    ToolRun run = Tool({"render", plan, png, "--width=640", "--height=360"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    QImage image(png);
    ASSERT_EQ(image.size(), QSize(640, 360));
    // Bars in the default colour show somewhere in the chart half.
    int barPixels = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = image.width() / 3; x < image.width(); ++x)
            if (QColor(image.pixel(x, y)) == QColor(192, 224, 255)) ++barPixels;
    EXPECT_GT(barPixels, 100);

    // Without the tree the chart starts further left: bars in the left third.
    run = Tool({"render", plan, png, "--no-tree", "--view=0,1,2/3/2026,0,0,7,0"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    image = QImage(png);
    ASSERT_EQ(image.size(), QSize(1200, 800));
    int leftBars = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width() / 3; ++x)
            if (QColor(image.pixel(x, y)) == QColor(192, 224, 255)) ++leftBars;
    EXPECT_GT(leftBars, 100);

    const QString svg = Out("view.svg");
    run = Tool({"render", plan, svg, "--width=900", "--height=400", "--fit"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    QFile file(svg);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.contains("viewBox=\"0 0 900 400\"")) << text.left(400).toStdString();
}

TEST_F(Render, BadArgumentsAreUsageErrorsAndWriteNothing)
{
    const QString plan = File("plan.qmxg", Plan(3));
    const QString pdf = Out("x.pdf");
    const QString png = Out("x.png");
    const QStringList cases[] = {
        {"render"},
        {"render", plan},
        {"render", plan, pdf, Out("y.pdf")},
        {"render", plan, Out("x.txt")},
        {"render", plan, Out("noextension")},
        {"render", plan, ""},
        {"render", plan, png, "--width=0"},
        {"render", plan, png, "--width=16385"},
        {"render", plan, png, "--height=-5"},
        {"render", plan, png, "--width=12abc"},
        {"render", plan, png, "--width"},
        {"render", plan, png, "--height=99999999999999999999"},
        {"render", plan, pdf, "--paper=B9"},
        {"render", plan, pdf, "--orientation=sideways"},
        {"render", plan, pdf, "--width=100"},
        {"render", plan, pdf, "--no-tree"},
        {"render", plan, png, "--paper=A4"},
        {"render", plan, png, "--fit", "--view=0,1,2/3/2026,0,0,7,0"},
        {"render", plan, png, "--fit=yes"},
        {"render", plan, png, "--bogus"},
        {"render", plan, png, "--view=not,a,view"},
        {"render", plan, png, "--view=0,1,99/99/2026,0,0,7,0"},
    };
    for (const QStringList& arguments : cases) {
        const ToolRun run = Tool(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments.join(' ').toStdString() << "\n" << run.err.toStdString();
        EXPECT_TRUE(run.err.startsWith("qmxgantt: ")) << run.err.toStdString();
        EXPECT_FALSE(QFile::exists(pdf) || QFile::exists(png)) << arguments.join(' ').toStdString();
    }
    // Files that cannot be read or written.
    ToolRun run = Tool({"render", Out("missing.qmxg"), pdf});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("missing.qmxg")) << run.err.toStdString();
    for (const QString& out : {Out("no/such/folder/x.pdf"), Out("no/such/folder/x.png"),
                               Out("no/such/folder/x.svg")}) {
        run = Tool({"render", plan, out});
        EXPECT_EQ(run.exitCode, 1) << out.toStdString() << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("cannot write")) << run.err.toStdString();
    }
    // The help names the command.
    run = Tool({"--help"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.out.contains("render FILE OUT [options]"));
}

// Every hostile or edge-case file kept with the outcome it must give.
TEST_F(Render, HostileFilesGiveTheirOutcome)
{
    const QString data = QStringLiteral(QMX_RENDER_DATA);
    QFile manifest(data + "/cases.txt");
    ASSERT_TRUE(manifest.open(QIODevice::ReadOnly | QIODevice::Text));
    int replayed = 0;
    QTextStream lines(&manifest);
    while (!lines.atEnd()) {
        const QString line = lines.readLine().trimmed();
        if (line.isEmpty() || line.startsWith('#')) continue;
        const QStringList fields = line.split(QRegularExpression("\\s+"));
        ASSERT_GE(fields.size(), 3) << line.toStdString();
        const QString out = Out("case." + fields[1]);
        QFile::remove(out);
        const ToolRun run = Tool({"render", data + "/" + fields[0], out});
        EXPECT_EQ(run.exitCode, fields[2].toInt()) << line.toStdString() << "\n" << run.err.toStdString();
        if (run.exitCode == 0) {
            EXPECT_TRUE(QFileInfo(out).size() > 0) << line.toStdString();
            if (fields[1] == "pdf") {
                EXPECT_GE(PdfPages(out).first, 1) << line.toStdString();
            }
        } else {
            EXPECT_FALSE(run.err.isEmpty());
            EXPECT_FALSE(QFile::exists(out)) << line.toStdString();
        }
        ++replayed;
    }
    EXPECT_GE(replayed, 10);
}

}  // namespace
