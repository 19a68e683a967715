// The host's main window as its clients see it: a program started by a
// client (with -Embedding) keeps its window hidden until the client shows
// it, as a user-started one shows it at once. Answered by the application
// object beside IMmApplication, whose members are those a map adapter uses.
#pragma once

#include "automation/unknown.h"

struct IMmApplicationWindow : IUnknown {
    QMX_INTERFACE_ID("{8358249A-3979-4195-89AC-F157885EBE5B}");
    // VARIANT_TRUE while the main window shows; false without a window.
    virtual HRESULT get_Visible(VARIANT_BOOL* pVisible) = 0;
    // Shows or hides the main window; E_FAIL when the program has none.
    virtual HRESULT put_Visible(VARIANT_BOOL visible) = 0;
};
