// Helpers of the chart pane and splitter tests: the Qt application, the
// chart library's registration into the test's private registry, and where
// pictures are saved for a human to look at.
#pragma once

#include <string>

#include <QColor>
#include <QImage>

#include "automation/com_ptr.h"
#include "automation/hresult.h"
#include "automation/types.h"
#include "chart/gantt_chart_pane_interfaces.h"

class QWidget;

namespace qmx::testing {

// The one QApplication of the test program.
void EnsureApplication();

// Registers libQMXGanttChartControl.so of the build ($QMX_BUILD_LIB_DIR) in
// the registry store of the test ($QMX_REGISTRY).
HRESULT RegisterChartLibrary();
// Registers another component library of the build by its file name.
HRESULT RegisterBuiltLibrary(const std::string& fileName);

// A chart pane made by ProgID from the built library, its window shown
// with a chart area of width x chartHeight pixels under the 32-pixel
// timeline, attached to `control` (may be null), with `sink` connected (may
// be null, its cookie stored in `cookie` when given) and the view settings
// applied.
HRESULT MakeShownPane(int width, int chartHeight, IGanttChartControl* control, _IGanttChartPaneEvents* sink,
                      const char* viewSettings, ComPtr<IGanttChartPane>& pane, QWidget*& window,
                      DWORD* cookie = nullptr);

// Saves an image as <name>.png in the test's runtime folder and returns the
// path (empty when it could not be saved).
std::string SavePicture(const QImage& image, const std::string& name);

// A calendar date at 00:00.
DATE Day(int year, int month, int day);

// The colour of a pixel, without alpha.
inline QColor Pixel(const QImage& image, int x, int y) { return QColor(image.pixel(x, y)).toRgb(); }

}  // namespace qmx::testing
