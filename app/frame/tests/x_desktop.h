// What the tests of the real programs under Xvfb share: a display of their
// own, programs run to their end, xdotool to drive the windows as a user
// does, and looking at the picture of the screen. Header only: each test
// program compiles it in.
#pragma once

#include <algorithm>
#include <optional>

#include <QImage>
#include <QProcess>
#include <QRect>
#include <QStandardPaths>
#include <QStringList>
#include <QThread>

namespace qmx::testing {

// Runs a program to its end; its standard output, or nullopt on failure.
inline std::optional<QString> RunProgram(const QString& program, const QStringList& arguments,
                                         const QProcessEnvironment& env, int timeoutMs = 20000)
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return std::nullopt;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) return std::nullopt;
    return QString::fromUtf8(process.readAllStandardOutput());
}

// An X server of the test's own (Xvfb), ended with the object.
class XvfbDisplay {
public:
    XvfbDisplay() = default;
    XvfbDisplay(const XvfbDisplay&) = delete;
    XvfbDisplay& operator=(const XvfbDisplay&) = delete;
    ~XvfbDisplay()
    {
        if (xvfb_.state() == QProcess::NotRunning) return;
        xvfb_.terminate();
        if (!xvfb_.waitForFinished(5000)) xvfb_.kill();
        xvfb_.waitForFinished();
    }

    // Both programs are there (Xvfb and xdotool).
    static bool Available()
    {
        return !QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty() &&
               !QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty();
    }

    // Starts the server; its display name (":N"), empty on failure.
    QString Start(const QString& size = QStringLiteral("1280x800x24"))
    {
        xvfb_.setProgram(QStandardPaths::findExecutable(QStringLiteral("Xvfb")));
        xvfb_.setArguments({QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                            QStringLiteral("0"), size, QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        xvfb_.start();
        if (!xvfb_.waitForStarted(10000)) return {};
        QString number;
        for (int i = 0; i < 100 && number.isEmpty() && xvfb_.state() == QProcess::Running; ++i) {
            xvfb_.waitForReadyRead(100);
            number = QString::fromLatin1(xvfb_.readAllStandardOutput()).trimmed();
        }
        return number.isEmpty() ? QString() : QLatin1Char(':') + number;
    }

private:
    QProcess xvfb_;
};

// xdotool on one display. Without a window manager nothing gives a window
// the keyboard: Focus it before typing.
class Xdotool {
public:
    explicit Xdotool(QProcessEnvironment env)
        : env_(std::move(env)), program_(QStandardPaths::findExecutable(QStringLiteral("xdotool")))
    {
    }

    std::optional<QString> Run(const QStringList& arguments, int timeoutMs = 20000) const
    {
        return RunProgram(program_, arguments, env_, timeoutMs);
    }
    // The windows that match (search options such as --onlyvisible, --class
    // NAME, --name TEXT); with `wait` until one does, up to the time limit.
    QStringList Search(const QStringList& options, bool wait = false, int timeoutMs = 30000) const
    {
        QStringList arguments{QStringLiteral("search")};
        if (wait) arguments << QStringLiteral("--sync");
        const auto found = Run(arguments + options, timeoutMs);
        return found ? found->split(QLatin1Char('\n'), Qt::SkipEmptyParts) : QStringList();
    }
    // The window's place on the screen; empty when it is gone.
    QRect Geometry(const QString& window) const
    {
        const auto shell = Run({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), window});
        if (!shell) return {};
        QRect rect;
        for (const QString& line : shell->split(QLatin1Char('\n'))) {
            const int value = line.section(QLatin1Char('='), 1).toInt();
            if (line.startsWith(QStringLiteral("X="))) rect.moveLeft(value);
            if (line.startsWith(QStringLiteral("Y="))) rect.moveTop(value);
            if (line.startsWith(QStringLiteral("WIDTH="))) rect.setWidth(value);
            if (line.startsWith(QStringLiteral("HEIGHT="))) rect.setHeight(value);
        }
        return rect;
    }
    // The largest of the windows that match: the main window, not its
    // tooltips or menus.
    QString Largest(const QStringList& options) const
    {
        QString best;
        int area = 0;
        for (const QString& window : Search(options)) {
            const QRect rect = Geometry(window);
            if (rect.width() * rect.height() > area) {
                area = rect.width() * rect.height();
                best = window;
            }
        }
        return best;
    }
    bool Focus(const QString& window) const
    {
        return Run({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window}).has_value();
    }
    // Keys as xdotool names them ("ctrl+c", "Home"), with a pause after.
    bool Keys(const QString& keys) const
    {
        const bool done = Run({QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("80"), keys}).has_value();
        QThread::msleep(300);
        return done;
    }
    bool Type(const QString& text) const
    {
        return Run({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("40"), text}).has_value();
    }
    // Presses the left button at `from`, moves in steps to `to` and lets go.
    bool Drag(QPoint from, QPoint to) const
    {
        const auto move = [this](QPoint p) {
            return Run({QStringLiteral("mousemove"), QString::number(p.x()), QString::number(p.y())}).has_value();
        };
        // Hovered first, as a hand reaches the bar before pressing.
        if (!move(from - QPoint(2, 0)) || !move(from)) return false;
        QThread::msleep(300);
        if (!Run({QStringLiteral("mousedown"), QStringLiteral("1")})) return false;
        constexpr int kSteps = 8;
        for (int i = 1; i <= kSteps; ++i) {
            QThread::msleep(100);
            if (!move(from + (to - from) * i / kSteps)) return false;
        }
        QThread::msleep(150);
        return Run({QStringLiteral("mouseup"), QStringLiteral("1")}).has_value();
    }
    // A left click, with a modifier key held ("ctrl", "shift") when given.
    bool Click(QPoint at, const QString& modifier = QString()) const
    {
        QStringList arguments{QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y())};
        if (!modifier.isEmpty()) arguments << QStringLiteral("keydown") << modifier;
        arguments << QStringLiteral("click") << QStringLiteral("1");
        if (!modifier.isEmpty()) arguments << QStringLiteral("keyup") << modifier;
        const bool done = Run(arguments).has_value();
        QThread::msleep(300);
        return done;
    }
    bool Place(const QString& window, const QRect& rect) const
    {
        return Run({QStringLiteral("windowmove"), QStringLiteral("--sync"), window, QString::number(rect.x()),
                    QString::number(rect.y())}) &&
               Run({QStringLiteral("windowsize"), QStringLiteral("--sync"), window, QString::number(rect.width()),
                    QString::number(rect.height())});
    }

private:
    QProcessEnvironment env_;
    QString program_;
};

// The longest horizontal run of a colour on one row of the picture.
inline int LongestRun(const QImage& image, int y, int left, int right, QRgb colour)
{
    int run = 0, longest = 0;
    for (int x = std::max(left, 0); x <= std::min(right, image.width() - 1); ++x) {
        run = (image.pixel(x, y) & 0xFFFFFFu) == (colour & 0xFFFFFFu) ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest;
}

// The rows of a rectangle of the picture that hold a horizontal run of at
// least `length` pixels of a colour: the bars.
inline int RowsWithRun(const QImage& image, const QRect& area, QRgb colour, int length)
{
    int rows = 0;
    const QRect clipped = area.intersected(image.rect());
    for (int y = clipped.top(); y <= clipped.bottom(); ++y)
        if (LongestRun(image, y, clipped.left(), clipped.right(), colour) >= length) ++rows;
    return rows;
}

// The bars of one colour in a rectangle of the picture, top to bottom: the
// rectangle of each block of rows that hold a run of at least `length`.
inline std::vector<QRect> Bars(const QImage& image, const QRect& area, QRgb colour, int length)
{
    std::vector<QRect> bars;
    const QRect clipped = area.intersected(image.rect());
    bool inBar = false;
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        int run = 0, bestEnd = -1, best = 0;
        for (int x = clipped.left(); x <= clipped.right(); ++x) {
            run = (image.pixel(x, y) & 0xFFFFFFu) == (colour & 0xFFFFFFu) ? run + 1 : 0;
            if (run > best) {
                best = run;
                bestEnd = x;
            }
        }
        if (best < length) {
            inBar = false;
            continue;
        }
        const QRect row(bestEnd - best + 1, y, best, 1);
        if (inBar)
            bars.back() = bars.back().united(row);
        else
            bars.push_back(row);
        inBar = true;
    }
    return bars;
}

}  // namespace qmx::testing
