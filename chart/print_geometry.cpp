#include "chart/print_geometry.h"

#include <algorithm>

#include <QPaintDevice>

#include "chart/time_scale.h"

namespace qmx {

std::optional<DeviceScale> DeviceScale::Of(const QPaintDevice* device)
{
    if (!device) return std::nullopt;
    DeviceScale scale{device->width(), device->height(), device->widthMM(), device->heightMM()};
    if (scale.horzRes <= 0 || scale.vertRes <= 0 || scale.horzSize <= 0 || scale.vertSize <= 0) return std::nullopt;
    return scale;
}

LONG DeviceScale::X(double mm) const { return horzSize > 0 ? RoundPixel(mm * horzRes / horzSize) : 0; }

LONG DeviceScale::Y(double mm) const { return vertSize > 0 ? RoundPixel(mm * vertRes / vertSize) : 0; }

LONG PageLayout::PageCount(LONG tasks) const
{
    if (tasksPerPage <= 0 || tasks <= 0) return 0;
    return tasks / tasksPerPage + (tasks % tasksPerPage != 0 ? 1 : 0);
}

std::pair<LONG, LONG> PageLayout::TasksOnPage(LONG page, LONG tasks) const
{
    if (page < 1 || tasksPerPage <= 0 || page - 1 >= PageCount(tasks)) return {tasks, tasks};
    const LONG first = (page - 1) * tasksPerPage;
    return {first, std::min(first + tasksPerPage, tasks)};
}

std::optional<PageLayout> ComputePageLayout(LONG horzSizeMm, LONG vertSizeMm)
{
    using namespace page_layout;
    PageLayout layout;
    layout.paperWidth = horzSizeMm;
    layout.printableWidth = horzSizeMm - 2 * kMargin;
    layout.printableHeight = vertSizeMm - 2 * kMargin;
    layout.treeWidth = RoundPixel(kTreeShare * layout.printableWidth);
    layout.chartWidth = layout.printableWidth - layout.treeWidth;
    const LONG rowsHeight = layout.printableHeight - kHeaderHeight - kChartTopMargin;
    layout.tasksPerPage = rowsHeight > 0 ? rowsHeight / kStripeHeight : 0;
    if (layout.tasksPerPage < 1 || layout.chartWidth < 1) return std::nullopt;
    return layout;
}

ChartMetrics PrintedChartMetrics(const DeviceScale& s)
{
    const auto atLeastOne = [](LONG v) { return std::max(v, LONG(1)); };
    ChartMetrics m;
    m.barHeight = atLeastOne(s.Y(2.5));
    m.bandHeight = atLeastOne(s.Y(0.8));
    m.summaryLineCount = atLeastOne(s.Y(0.3));
    m.bracketSize = atLeastOne(s.Y(1));
    m.summaryHeight = std::max(m.bracketSize, m.summaryLineCount);
    m.milestoneHalf = s.Y(0.8);
    m.arrowStub = atLeastOne(s.X(2));
    m.headLength = atLeastOne(s.X(0.7));
    m.headHalfWidth = s.Y(0.7);
    m.labelGap = s.X(3);
    m.rangeTextGap = s.X(1);
    return m;
}

}  // namespace qmx
