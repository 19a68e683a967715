// Which windows are inside one of their event handlers. A control that may
// end while one of its window's handlers runs (a sink releasing it from an
// event the handler raised) must not delete the window, or any widget inside
// it, under that handler: a scroll bar deleted inside its own mouse handler
// crashes on its way out. The tracker sees every event of a watched window
// and of everything inside it, also of children added later, and answers
// whether one of those handlers is on the stack.
#pragma once

class QObject;
class QWidget;

namespace qmx {

class HandlerTracker {
public:
    // Watches the object, its descendants and every descendant it gets
    // later. Call it from the window's constructor, before anything else
    // installs an event filter on the window.
    static void Watch(QObject* root);
    // True while an event handler of the root, or of an object inside it,
    // is running.
    static bool InHandler(const QObject* root);
};

// Deletes the window now, or, while one of its handlers or its children's
// runs, hides it and deletes it when control is back in the event loop.
void DeleteWindowWhenIdle(QWidget* window);

}  // namespace qmx
