#include "tools/render_command.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPointer>
#include <QSvgGenerator>
#include <QWidget>

#include "adapters/contract/gantt_adapter.h"
#include "automation/bstr.h"
#include "automation/error_info.h"
#include "automation/file_name.h"
#include "automation/runtime/activation.h"
#include "automation/runtime/widget_control.h"
#include "chart/chart_control_interfaces.h"
#include "chart/print_job.h"
#include "tools/chart_document.h"

namespace qmx {

const char* const kRenderUsage =
    "  render FILE OUT [options]\n"
    "                  draw FILE through the chart without a display: OUT.pdf\n"
    "                  holds every printed page, OUT.png and OUT.svg the tasks\n"
    "                  view as on screen. Options:\n"
    "                    --paper=A4|A3|A5|Letter|Legal   (pdf, default A4)\n"
    "                    --orientation=portrait|landscape (pdf, default portrait)\n"
    "                    --width=PIXELS --height=PIXELS  (png, svg; default\n"
    "                                                     1200 x 800, at most 16384)\n"
    "                    --view=SETTINGS  the view-settings string to show\n"
    "                    --fit            fit the project's dates into the view\n"
    "                                     (the default when FILE stores no view)\n"
    "                    --no-tree        (png, svg) the chart alone\n";

namespace {

constexpr int kUsageError = 2;
constexpr int kFailure = 1;
constexpr int kMaxPixels = 16384;

constexpr const char* kAdapterProgId = "QMXGanttDisplay.XmlAdapter";

enum class Format { Pdf, Png, Svg };

struct RenderOptions {
    const char* in = nullptr;
    const char* out = nullptr;
    Format format = Format::Pdf;
    QPageSize::PageSizeId paper = QPageSize::A4;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    int width = 1200;
    int height = 800;
    std::optional<std::string> view;
    bool fit = false;
    bool tree = true;
};

int Usage(const std::string& message)
{
    std::fprintf(stderr, "qmxgantt: %s\n", message.c_str());
    std::fputs("Usage: qmxgantt render FILE OUT [options]\n", stderr);
    std::fputs(kRenderUsage, stderr);
    return kUsageError;
}

int Fail(const std::string& message)
{
    std::fprintf(stderr, "qmxgantt: %s\n", message.c_str());
    return kFailure;
}

// A whole number 1..kMaxPixels, nothing else.
std::optional<int> ParsePixels(const std::string& text)
{
    if (text.empty() || text.size() > 5) return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value < 1 || value > kMaxPixels) return std::nullopt;
    return value;
}

std::optional<Format> FormatOf(const std::string& path)
{
    const QString suffix = QFileInfo(QString::fromLocal8Bit(path.c_str())).suffix().toLower();
    if (suffix == QLatin1String("pdf")) return Format::Pdf;
    if (suffix == QLatin1String("png")) return Format::Png;
    if (suffix == QLatin1String("svg")) return Format::Svg;
    return std::nullopt;
}

// Fills `options` from the arguments; a usage message otherwise.
std::optional<std::string> ParseArguments(const std::vector<const char*>& args, RenderOptions& options)
{
    std::vector<const char*> operands;
    bool paperGiven = false;
    bool sizeGiven = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string arg = args[i];
        if (arg.rfind("--", 0) != 0) {
            operands.push_back(args[i]);
            continue;
        }
        const std::size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        const std::string value = equals == std::string::npos ? std::string() : arg.substr(equals + 1);
        const bool hasValue = equals != std::string::npos;
        if (name == "--fit" && !hasValue) {
            options.fit = true;
        } else if (name == "--no-tree" && !hasValue) {
            options.tree = false;
        } else if (name == "--view" && hasValue) {
            options.view = value;
        } else if ((name == "--width" || name == "--height") && hasValue) {
            const std::optional<int> pixels = ParsePixels(value);
            if (!pixels) return "'" + name + "' wants a whole number of pixels from 1 to 16384";
            (name == "--width" ? options.width : options.height) = *pixels;
            sizeGiven = true;
        } else if (name == "--paper" && hasValue) {
            static const std::pair<const char*, QPageSize::PageSizeId> papers[] = {
                {"a4", QPageSize::A4}, {"a3", QPageSize::A3}, {"a5", QPageSize::A5},
                {"letter", QPageSize::Letter}, {"legal", QPageSize::Legal}};
            const QString wanted = QString::fromStdString(value).toLower();
            bool known = false;
            for (const auto& [paperName, id] : papers) {
                if (wanted == QLatin1String(paperName)) {
                    options.paper = id;
                    known = true;
                }
            }
            if (!known) return "unknown paper '" + value + "' (A4, A3, A5, Letter or Legal)";
            paperGiven = true;
        } else if (name == "--orientation" && hasValue) {
            if (value == "portrait")
                options.orientation = QPageLayout::Portrait;
            else if (value == "landscape")
                options.orientation = QPageLayout::Landscape;
            else
                return "unknown orientation '" + value + "' (portrait or landscape)";
            paperGiven = true;
        } else {
            return "unknown option '" + arg + "' for 'render'";
        }
    }
    if (operands.size() != 2) return "wrong number of arguments for 'render'";
    options.in = operands[0];
    options.out = operands[1];
    if (options.in[0] == '\0' || options.out[0] == '\0') return "empty file name";
    const std::optional<Format> format = FormatOf(options.out);
    if (!format) return "OUT must end in .pdf, .png or .svg";
    options.format = *format;
    if (options.view && options.fit) return "'--view' and '--fit' exclude each other";
    if (options.format == Format::Pdf && (sizeGiven || !options.tree))
        return "'--width', '--height' and '--no-tree' are for .png and .svg";
    if (options.format != Format::Pdf && paperGiven) return "'--paper' and '--orientation' are for .pdf";
    return std::nullopt;
}

// The adapter's message, or one of our own.
int ReportAdapterFailure(HRESULT hr, const char* what)
{
    if (auto error = GetErrorInfo(); error && !error->description.empty()) {
        std::fprintf(stderr, "%s\n", BstrToOutputBytes(error->description).c_str());
        return kFailure;
    }
    char text[96];
    std::snprintf(text, sizeof text, "%s failed (error 0x%08X)", what, static_cast<unsigned>(hr));
    return Fail(text);
}

class RenderSession {
public:
    ~RenderSession()
    {
        if (adapter_) {
            adapter_->FileClose();
            adapter_->Disconnect();
        }
        adapter_ = nullptr;
        document_ = nullptr;
        control_ = nullptr;
        delete window_.data();  // before the application goes
    }

    int Start(const RenderOptions& options)
    {
        ComPtr<IWidgetControl> widget;
        HRESULT hr = CreateInstance(kGanttChartControlVersionIndependentProgId, &widget);
        if (FAILED(hr) || FAILED(widget.As(&control_)))
            return Fail("cannot create the chart control " + std::string(kGanttChartControlVersionIndependentProgId) +
                        "; register it with\n  qmxregsvr libQMXGanttChartControl.so");
        QWidget* window = nullptr;
        if (FAILED(widget->CreateControlWindow(nullptr, &window)) || !window)
            return Fail("cannot create the chart control's window");
        window_ = window;
        window->resize(options.width, options.height);
        window->show();
        QApplication::processEvents();

        document_ = MakeObject<CChartDocument>(control_.Get());
        hr = CreateInstance<IGanttAdapter>(kAdapterProgId, &adapter_);
        if (FAILED(hr) || !document_)
            return Fail("cannot create the XML adapter " + std::string(kAdapterProgId) +
                        "; register it with\n  qmxregsvr libQMXXmlAdapter.so");
        adapter_->Connect(document_.Get());
        hr = adapter_->FileOpen(0, FileNameToBstr(options.in));
        if (FAILED(hr)) return ReportAdapterFailure(hr, "reading the file");
        if (!document_->HasViewSettings() || options.fit) control_->AdjustTimeRange();
        if (options.view && FAILED(control_->put_CurrentViewSettings(Utf8ToBstr(*options.view))))
            return Usage("the view settings '" + *options.view + "' are not valid");
        control_->put_TreePaneVisible(ToVariantBool(options.tree));
        control_->put_CurrentView(gcTasksView);
        QApplication::processEvents();
        return 0;
    }

    IGanttChartControl* Control() const { return control_.Get(); }
    QWidget* Window() const { return window_.data(); }

private:
    ComPtr<IGanttChartControl> control_;
    QPointer<QWidget> window_;
    ComPtr<CChartDocument> document_;
    ComPtr<IGanttAdapter> adapter_;
};

// What was begun but not finished is not left behind.
int Discard(const QString& path, int rc)
{
    QFile::remove(path);
    return rc;
}

int RenderPdf(IGanttChartControl* control, const RenderOptions& options, const QString& path)
{
    QPdfWriter writer(path);
    writer.setResolution(300);
    writer.setCreator(QStringLiteral("qmxgantt"));
    writer.setPageLayout(QPageLayout(QPageSize(options.paper), options.orientation, QMarginsF(0, 0, 0, 0)));
    QPainter painter;
    if (!painter.begin(&writer)) return Fail("cannot write " + std::string(options.out));
    const PrintJobResult job = RunPrintJob(control, painter, 1, 0, [&writer] { return writer.newPage(); });
    painter.end();
    if (job.hr == E_FAIL && job.pageCount == 0 && job.printed == 0)
        return Discard(path, Fail("the paper is too small to print the chart"));
    if (FAILED(job.hr)) {
        char text[64];
        std::snprintf(text, sizeof text, "printing failed (error 0x%08X)", static_cast<unsigned>(job.hr));
        return Discard(path, Fail(text));
    }
    if (!QFileInfo(path).isFile()) return Fail("cannot write " + std::string(options.out));
    return 0;
}

int RenderPicture(QWidget* window, const RenderOptions& options, const QString& path)
{
    if (options.format == Format::Png) {
        QImage image(options.width, options.height, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        window->render(&painter);
        painter.end();
        if (!image.save(path, "PNG")) return Discard(path, Fail("cannot write " + std::string(options.out)));
        return 0;
    }
    QSvgGenerator generator;
    generator.setFileName(path);
    generator.setSize(QSize(options.width, options.height));
    generator.setViewBox(QRect(0, 0, options.width, options.height));
    generator.setTitle(QStringLiteral("QMXGantt chart"));
    QPainter painter;
    if (!painter.begin(&generator)) return Fail("cannot write " + std::string(options.out));
    window->render(&painter);
    painter.end();
    if (!QFileInfo(path).isFile() || QFileInfo(path).size() == 0)
        return Discard(path, Fail("cannot write " + std::string(options.out)));
    return 0;
}

}  // namespace

int RunRender(const std::vector<const char*>& args)
{
    RenderOptions options;
    if (const std::optional<std::string> problem = ParseArguments(args, options)) return Usage(*problem);

    // No display is needed: unless told otherwise, Qt draws off screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "qmxgantt";
    char* argv[] = {name, nullptr};
    QApplication application(argc, argv);

    const QString out = QString::fromLocal8Bit(options.out);
    int rc = 0;
    {
        RenderSession session;
        rc = session.Start(options);
        if (rc == 0) {
            rc = options.format == Format::Pdf ? RenderPdf(session.Control(), options, out)
                                               : RenderPicture(session.Window(), options, out);
        }
    }
    return rc;
}

}  // namespace qmx
