#include "chart/handler_tracker.h"

#include <vector>

#include <QChildEvent>
#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QWidget>

namespace qmx {

namespace {

// The one filter of every watched object. It is installed first, so it is
// the last filter to see an event; it then delivers the event itself, with
// the receiver marked as handling it. One filter object for all windows, so
// that a watched window inside another watched window is seen once.
class HandlerFilter final : public QObject {
public:
    static HandlerFilter& Instance()
    {
        // Lives as long as the process: watched objects may outlive any
        // owner the filter could have.
        static HandlerFilter* filter = new HandlerFilter;
        return *filter;
    }

    void Watch(QObject* object)
    {
        std::vector<QObject*> pending{object};
        while (!pending.empty()) {
            QObject* next = pending.back();
            pending.pop_back();
            if (!next->property(kWatched).toBool()) {
                next->setProperty(kWatched, true);
                next->installEventFilter(this);
            }
            for (QObject* child : next->children()) pending.push_back(child);
        }
    }

    bool InHandler(const QObject* root) const
    {
        for (const QPointer<QObject>& running : running_) {
            for (const QObject* o = running.data(); o; o = o->parent())
                if (o == root) return true;
        }
        return false;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::ChildAdded) Watch(static_cast<QChildEvent*>(event)->child());
        // A disabled widget refuses input without running a handler; its
        // refusal lets Qt pass the event on to the parent, so leave it to Qt.
        if (event->isInputEvent() && watched->isWidgetType() && !static_cast<QWidget*>(watched)->isEnabled())
            return false;
        running_.emplace_back(watched);
        // The receiver may be deleted by its own handler: no use of it after.
        watched->event(event);
        running_.pop_back();
        return true;
    }

private:
    static constexpr const char* kWatched = "qmxHandlerTracked";
    std::vector<QPointer<QObject>> running_;
};

}  // namespace

void HandlerTracker::Watch(QObject* root)
{
    if (root) HandlerFilter::Instance().Watch(root);
}

bool HandlerTracker::InHandler(const QObject* root) { return root && HandlerFilter::Instance().InHandler(root); }

void DeleteWindowWhenIdle(QWidget* window)
{
    if (!window) return;
    if (HandlerTracker::InHandler(window)) {
        window->hide();
        window->deleteLater();
    } else {
        delete window;
    }
}

}  // namespace qmx
