#include "chart/tests/chart_test_support.h"

#include <dlfcn.h>

#include <cstdlib>

#include <QApplication>
#include <QScrollBar>
#include <QWidget>

#include "automation/bstr.h"
#include "automation/date_time.h"
#include "automation/runtime/activation.h"
#include "automation/runtime/widget_control.h"
#include "automation/runtime/component_exports.h"

namespace qmx::testing {

void EnsureApplication()
{
    if (QApplication::instance()) return;
    static int argc = 1;
    static char name[] = "chart_test";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);  // lives until the program ends
}

HRESULT RegisterChartLibrary()
{
    return RegisterBuiltLibrary("libQMXGanttChartControl.so");
}

HRESULT RegisterBuiltLibrary(const std::string& fileName)
{
    const char* dir = std::getenv("QMX_BUILD_LIB_DIR");
    const std::string path = std::string(dir ? dir : ".") + "/" + fileName;
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) return CO_E_DLLNOTFOUND;
    const auto registerServer = reinterpret_cast<RegisterServerFn>(dlsym(library, kRegisterServerSymbol));
    return registerServer ? registerServer() : CO_E_ERRORINDLL;
}

HRESULT MakeShownPane(int width, int chartHeight, IGanttChartControl* control, _IGanttChartPaneEvents* sink,
                      const char* viewSettings, ComPtr<IGanttChartPane>& pane, QWidget*& window, DWORD* cookie)
{
    HRESULT hr = CreateInstance(kGanttChartPaneVersionIndependentProgId, &pane);
    if (FAILED(hr)) return hr;
    ComPtr<IWidgetControl> widget;
    if (FAILED(hr = pane.As(&widget))) return hr;
    if (FAILED(hr = widget->CreateControlWindow(nullptr, &window))) return hr;
    const QScrollBar* scrollBar = window->findChild<QScrollBar*>();
    window->resize(width, 32 + chartHeight + (scrollBar ? scrollBar->sizeHint().height() : 0));
    window->show();
    if (FAILED(hr = pane->SetGanttChartControl(control))) return hr;
    if (sink) {
        ComPtr<IGanttChartPaneEventSource> source;
        DWORD advised = 0;
        if (FAILED(hr = pane.As(&source)) || FAILED(hr = source->Advise(sink, &advised))) return hr;
        if (cookie) *cookie = advised;
    }
    return pane->put_CurrentViewSettings(Utf8ToBstr(viewSettings));
}

std::string SavePicture(const QImage& image, const std::string& name)
{
    const char* dir = std::getenv("XDG_RUNTIME_DIR");
    const std::string path = std::string(dir ? dir : ".") + "/" + name + ".png";
    return image.save(QString::fromStdString(path)) ? path : std::string();
}

DATE Day(int year, int month, int day) { return *DateFromCivil(year, month, day); }

}  // namespace qmx::testing
