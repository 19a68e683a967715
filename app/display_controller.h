// The controller interface of the application object, used by DisplayApp
// and the main window. It has no reference counting of its own: it lives as
// long as the application object.
#pragma once

#include "automation/types.h"
#include "automation/hresult.h"
#include "chart/chart_control_interfaces.h"

struct IDisplayController {
    // Keeps the chart control of the main window, advises the event sink on
    // it and disables its panes (nothing is open yet).
    virtual void AttachControl(IGanttChartControl* pControl) = 0;
    // Creates and connects the adapters listed in the registry store.
    virtual HRESULT Initialize() = 0;
    // Opens a document by file name through the adapter of its extension.
    virtual HRESULT OpenDocument(const BSTR& bsFileName) = 0;
    // Runs the prompt to save; true when closing may go on.
    virtual bool CanClose() = 0;
    // Closes or empties the document, unadvises the control's events and
    // disconnects the adapters; *canExit false when the user refused.
    virtual HRESULT Shutdown(bool force, bool* canExit) = 0;
    virtual bool IsStandalone() = 0;

protected:
    ~IDisplayController() = default;
};
