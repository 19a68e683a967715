// QMXSplitter: the bar between the task tree and the chart pane. Dragging it
// moves its window along its axis; the container hears of every step before
// (BeforeMove, which may change or cancel it) and after (AfterMove).
#pragma once

#include <QPointer>
#include <QWidget>

#include "automation/com_object.h"
#include "automation/event_source.h"
#include "automation/runtime/registration.h"
#include "automation/runtime/widget_control.h"
#include "chart/splitter_interfaces.h"

namespace qmx {

class SplitterWidget;

class QMXSplitter final : public ComObject<ISplitter, ISplitterEventSource, IWidgetControl> {
public:
    // A vertical bar moves along x, a horizontal one along y.
    enum class Orientation { Vertical, Horizontal };

    // The class factory makes vertical bars.
    explicit QMXSplitter(Orientation orientation = Orientation::Vertical);

    static ClassInfo Registration();

    // ISplitter
    HRESULT get_Hwnd(LONG* pHwnd) override;
    HRESULT put_BorderVisible(VARIANT_BOOL vbVisible) override;
    HRESULT get_BorderVisible(VARIANT_BOOL* pvbVisible) override;

    // ISplitterEventSource
    HRESULT Advise(_ISplitterEvents* pSink, DWORD* pdwCookie) override;
    HRESULT Unadvise(DWORD dwCookie) override;

    // IWidgetControl
    HRESULT CreateControlWindow(QWidget* parent, QWidget** ppWindow) override;
    HRESULT GetControlWindow(QWidget** ppWindow) override;

    Orientation GetOrientation() const { return orientation_; }
    bool BorderVisible() const { return borderVisible_; }

    // One drag step of `delta` pixels along the axis: BeforeMove, the move
    // of the window by the (possibly changed) delta, AfterMove. Nothing for
    // a delta of 0.
    void DragStep(LONG delta);

private:
    ~QMXSplitter() override;

    const Orientation orientation_;
    bool borderVisible_ = false;
    QPointer<SplitterWidget> window_;
    EventSource<_ISplitterEvents> events_;
};

// The splitter's window. It knows only its control object, which owns it.
class SplitterWidget final : public QWidget {
public:
    SplitterWidget(QMXSplitter* control, QWidget* parent);

    // Called by the control object as it ends: the window forgets it and
    // is deleted now, or after the mouse handler that is running returns.
    void ControlGone();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    LONG AxisPosition(const QMouseEvent* event) const;

    QMXSplitter* control_;
    bool inDragStep_ = false;
    bool dragging_ = false;
    LONG pressPosition_ = 0;
};

}  // namespace qmx
