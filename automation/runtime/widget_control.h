// The windowed-control contract: how a host puts a control's window into its
// own (the role ActiveX control hosting plays on Windows).
#pragma once

#include "automation/unknown.h"

class QWidget;

// A control object owns its window. The host asks for it once, giving the
// parent; the window is then a child of that parent and Qt's parent owns it
// as any other child. The control object keeps a guarded pointer, so either
// side may go first: a control whose window was destroyed by its parent
// answers null, and the last Release of a control deletes a window that
// still exists.
struct IWidgetControl : IUnknown {
    QMX_INTERFACE_ID("{FD707AF8-A4E3-4C83-A510-CD57C56A63B9}");

    // Creates the window as a child of parent (null: a top-level window) or,
    // when it exists, re-parents it. E_OUTOFMEMORY when it cannot be made.
    virtual HRESULT CreateControlWindow(QWidget* parent, QWidget** ppWindow) = 0;
    // The window, or null with S_FALSE before CreateControlWindow.
    virtual HRESULT GetControlWindow(QWidget** ppWindow) = 0;
};
