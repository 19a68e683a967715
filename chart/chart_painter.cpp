#include "chart/chart_painter.h"

#include <algorithm>
#include <limits>

#include <QFontMetrics>
#include <QPainter>

#include "chart/arrow_routing.h"
#include "chart/chart_layout.h"
#include "chart/pixel_canvas.h"

namespace qmx {

namespace {

void PaintWeekends(PixelCanvas& canvas, const std::vector<DayCell>& cells, LONG top, LONG bottom)
{
    for (std::size_t k = 0; k + 1 < cells.size(); ++k) {
        if (cells[k].dayOfWeek != 6 && cells[k].dayOfWeek != 7) continue;
        const LONG right = cells[k + 1].x;
        canvas.FillRect({cells[k].x + 1, top, right, bottom}, chart_colors::kWeekendFill);
        canvas.Line({right, top}, {right, bottom}, chart_colors::kWeekendEdge);
    }
}

void PaintProjectRange(QPainter& painter, PixelCanvas& canvas, const ProjectRangeMarks& range, LONG top,
                       LONG bottom, const ChartMetrics& m)
{
    canvas.DottedVerticalLine(range.firstX, top, bottom, chart_colors::kProjectRange);
    canvas.DottedVerticalLine(range.lastX, top, bottom, chart_colors::kProjectRange);
    const QFontMetrics metrics(painter.font(), painter.device());
    const int textHeight = metrics.height();
    const int firstWidth = metrics.horizontalAdvance(range.firstText) + 1;
    const int lastWidth = metrics.horizontalAdvance(range.lastText) + 1;
    painter.setPen(chart_colors::kText);
    painter.drawText(QRect(range.firstX - m.rangeTextGap - firstWidth, top, firstWidth, textHeight),
                     Qt::AlignRight | Qt::AlignTop | Qt::TextSingleLine, range.firstText);
    painter.drawText(QRect(range.lastX + m.rangeTextGap, top, lastWidth, textHeight),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, range.lastText);
}

// How far a link's drawing reaches beyond its two rows.
LONG HeadReach(const ChartMetrics& m) { return std::max(m.headLength, m.headHalfWidth + 1); }

void PaintLink(PixelCanvas& canvas, const ChartLayout& layout, const TaskLink& link, const QRect& area,
               const ChartMetrics& m)
{
    const auto& items = layout.Items();
    const TaskItem& p = items[link.predecessorItem];
    const TaskItem& s = items[link.successorItem];
    // Every route stays between the two rows, heads reaching out a little.
    const LONG top = std::min(p.Top, s.Top) - HeadReach(m);
    const LONG bottom = std::max(p.Bottom, s.Bottom) + HeadReach(m);
    if (bottom <= area.top() || top >= area.top() + area.height()) return;

    LinkEnds ends;
    ends.predecessorBar = BarRect(p.Kind(), p.Box(), m);
    ends.predecessorCentre = RowCentre(p.Box());
    ends.predecessorRowTop = p.Top;
    ends.predecessorRowBottom = p.Bottom;
    ends.successorBar = BarRect(s.Kind(), s.Box(), m);
    ends.successorCentre = RowCentre(s.Box());
    ends.successorLeft = s.Left;
    const auto arrow = RouteArrow(link.type, ends, m);
    if (!arrow) return;
    const PixelRect box = ArrowBounds(*arrow, m);
    if (box.right <= area.left() || box.left >= area.left() + area.width() || box.bottom <= area.top() ||
        box.top >= area.top() + area.height())
        return;
    for (const LineSegment& line : ArrowLines(*arrow, m)) canvas.Line(line, chart_colors::kLink);
}

void PaintBar(PixelCanvas& canvas, const TaskItem& item, const ChartMetrics& m)
{
    switch (item.Kind()) {
    case BarKind::Normal: PaintNormalBar(canvas, item.Box(), item.Color, item.PercentComplete, m); break;
    case BarKind::Summary:
        for (const LineSegment& line : SummaryBarLines(item.Box(), m)) canvas.Line(line, chart_colors::kOutline);
        break;
    case BarKind::Milestone:
        for (const LineSegment& line : MilestoneLines(item.Box(), m)) canvas.Line(line, chart_colors::kOutline);
        break;
    }
}

void PaintLabel(QPainter& painter, const QFontMetrics& metrics, const TaskItem& item, const ChartMetrics& m)
{
    if (item.Kind() == BarKind::Milestone) return;
    const QString text = BarLabelText(item.PercentComplete, QString::fromStdU16String(item.Label));
    if (text.isEmpty()) return;
    const LONG height = item.Bottom - item.Top;
    const int baseline = item.Top + height / 2 + (metrics.ascent() - metrics.descent()) / 2;
    painter.drawText(QPoint(item.Right + m.labelGap, baseline), text);
}

}  // namespace

void PaintNormalBar(PixelCanvas& canvas, const ItemBox& item, COLORREF color, LONG percentComplete,
                    const ChartMetrics& m)
{
    canvas.FramedRect(NormalBarRect(item, m), chart_colors::kOutline, ToQColor(color));
    canvas.FillRect(ProgressBand(item, percentComplete, m),
                    IsLightColor(color) ? chart_colors::kDarkProgress : chart_colors::kLightProgress);
}

QColor ToQColor(COLORREF color) { return QColor(GetRValue(color), GetGValue(color), GetBValue(color)); }

QString BarLabelText(LONG percentComplete, const QString& label)
{
    if (percentComplete == 0) return label;
    return QLatin1Char('[') + QString::number(unsigned(percentComplete)) + QLatin1String("%] ") + label;
}

void PaintChart(QPainter& painter, QSize area, const ChartBackdrop& backdrop, const ChartLayout& layout,
                const QFont& font, const ChartMetrics& m)
{
    const QFontMetrics metrics(font, painter.device());
    const LONG reach = std::max(m.milestoneHalf, LONG(metrics.height()));
    const auto [first, last] = layout.ItemsNear(0, area.height(), reach);
    ChartPaintScope scope;
    scope.area = QRect(QPoint(0, 0), area);
    // Every item near the area: those reaching into it draw.
    const auto& items = layout.Items();
    scope.barTop = first < items.size() ? items[first].Top : 0;
    scope.barBottom = last > first ? items[last - 1].Top + 1 : scope.barTop;
    if (!layout.ItemsAscend()) {
        scope.barTop = std::numeric_limits<LONG>::min();
        scope.barBottom = std::numeric_limits<LONG>::max();
    }
    PaintChartPart(painter, scope, backdrop, layout, font, m);
}

void PaintChartPart(QPainter& painter, const ChartPaintScope& scope, const ChartBackdrop& backdrop,
                    const ChartLayout& layout, const QFont& font, const ChartMetrics& m)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setFont(font);
    const QRect& area = scope.area;
    const LONG top = area.top();
    const LONG bottom = area.top() + area.height();
    PixelCanvas canvas(painter, area);

    canvas.FillRect({area.left(), top, area.left() + area.width(), bottom}, chart_colors::kBackground);
    PaintWeekends(canvas, backdrop.dayCells, top, bottom);
    for (LONG x : backdrop.periodXs) canvas.Line({x, top}, {x, bottom}, chart_colors::kGrid);
    if (backdrop.projectRange) PaintProjectRange(painter, canvas, *backdrop.projectRange, top, bottom, m);
    if (scope.links) {
        for (std::size_t k : *scope.links) PaintLink(canvas, layout, layout.Links()[k], area, m);
    } else {
        for (const TaskLink& link : layout.Links()) PaintLink(canvas, layout, link, area, m);
    }

    const QFontMetrics metrics(font, painter.device());
    painter.setPen(chart_colors::kText);
    const LONG reach = std::max(m.milestoneHalf, LONG(metrics.height()));
    const auto& items = layout.Items();
    std::size_t first = 0;
    std::size_t last = items.size();
    if (layout.ItemsAscend()) {
        const auto byTop = [](const TaskItem& item, LONG y) { return item.Top < y; };
        first = std::size_t(std::lower_bound(items.begin(), items.end(), scope.barTop, byTop) - items.begin());
        last = std::size_t(std::lower_bound(items.begin() + first, items.end(), scope.barBottom, byTop) -
                           items.begin());
    }
    for (std::size_t i = first; i < last; ++i) {
        const TaskItem& item = items[i];
        if (item.Top < scope.barTop || item.Top >= scope.barBottom) continue;
        if (item.Bottom + reach <= top || item.Top - reach >= bottom) continue;
        PaintBar(canvas, item, m);
        PaintLabel(painter, metrics, item, m);
    }
    painter.restore();
}

}  // namespace qmx
