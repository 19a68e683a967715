// Geometry of printed pages: millimetres converted to device pixels by the
// device's resolution, the fixed page layout of the tasks view (margins,
// tree column, header, stripes, tasks per page, page count) and the chart's
// shape sizes on paper. Pure functions apart from reading a device's metrics.
#pragma once

#include <optional>
#include <utility>

#include "automation/types.h"
#include "chart/chart_geometry.h"

class QPaintDevice;

namespace qmx {

// A device's pixel and millimetre extents: x_device = round(x_mm x
// horzRes / horzSize), and the same vertically, rounding by adding one half
// and truncating.
struct DeviceScale {
    LONG horzRes = 0;   // pixels across the printable area
    LONG vertRes = 0;
    LONG horzSize = 0;  // millimetres across it
    LONG vertSize = 0;

    // Nothing for a missing device or one reporting no extent.
    static std::optional<DeviceScale> Of(const QPaintDevice* device);

    LONG X(double mm) const;
    LONG Y(double mm) const;
};

// The page layout in millimetres.
namespace page_layout {
inline constexpr LONG kMargin = 10;
inline constexpr LONG kHeaderHeight = 10;
inline constexpr LONG kStripeHeight = 6;
inline constexpr LONG kChartTopMargin = 2;
inline constexpr double kTreeShare = 0.3;
inline constexpr double kIndentPerLevel = 4;
inline constexpr double kMarkerSize = 2;
inline constexpr double kIconOffset = 2.5;   // from the row's start
inline constexpr double kTreeIconSize = 4;
inline constexpr double kNameOffset = 4.5;   // from the icon's left
inline constexpr double kTitleInset = 1;
inline constexpr double kRowFontHeight = 3;
inline constexpr double kLabelFontHeight = 2;
inline constexpr double kTimelineFontHeight = 3;
inline constexpr double kTimelineTextIndent = 0.7;
}  // namespace page_layout

struct PageLayout {
    LONG paperWidth = 0;  // the device's width in millimetres
    LONG printableWidth = 0;
    LONG printableHeight = 0;
    LONG treeWidth = 0;
    LONG chartWidth = 0;
    LONG tasksPerPage = 0;

    LONG PageCount(LONG tasks) const;
    // The first and one past the last task of a page counted from 1; an
    // empty range (first >= tasks) past the last page.
    std::pair<LONG, LONG> TasksOnPage(LONG page, LONG tasks) const;
};

// The layout for a device of the given size; nothing when a page has no
// room for one task row or no chart column.
std::optional<PageLayout> ComputePageLayout(LONG horzSizeMm, LONG vertSizeMm);

// The chart's shapes at their printed sizes on the device.
ChartMetrics PrintedChartMetrics(const DeviceScale& scale);

}  // namespace qmx
