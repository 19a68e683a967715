#include "chart/chart_painter.h"

#include <algorithm>

#include <QFontMetrics>
#include <QPainter>

#include "chart/arrow_routing.h"
#include "chart/chart_layout.h"
#include "chart/pixel_canvas.h"

namespace qmx {

namespace {

void PaintWeekends(PixelCanvas& canvas, const std::vector<DayCell>& cells, LONG height)
{
    for (std::size_t k = 0; k + 1 < cells.size(); ++k) {
        if (cells[k].dayOfWeek != 6 && cells[k].dayOfWeek != 7) continue;
        const LONG right = cells[k + 1].x;
        canvas.FillRect({cells[k].x + 1, 0, right, height}, chart_colors::kWeekendFill);
        canvas.Line({right, 0}, {right, height}, chart_colors::kWeekendEdge);
    }
}

void PaintProjectRange(QPainter& painter, PixelCanvas& canvas, const ProjectRangeMarks& range, LONG height,
                       const ChartMetrics& m)
{
    canvas.DottedVerticalLine(range.firstX, 0, height, chart_colors::kProjectRange);
    canvas.DottedVerticalLine(range.lastX, 0, height, chart_colors::kProjectRange);
    const QFontMetrics metrics(painter.font());
    const int textHeight = metrics.height();
    const int firstWidth = metrics.horizontalAdvance(range.firstText) + 1;
    const int lastWidth = metrics.horizontalAdvance(range.lastText) + 1;
    painter.setPen(chart_colors::kText);
    painter.drawText(QRect(range.firstX - m.rangeTextGap - firstWidth, 0, firstWidth, textHeight),
                     Qt::AlignRight | Qt::AlignTop | Qt::TextSingleLine, range.firstText);
    painter.drawText(QRect(range.lastX + m.rangeTextGap, 0, lastWidth, textHeight),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, range.lastText);
}

void PaintLinks(PixelCanvas& canvas, const ChartLayout& layout, QSize area, const ChartMetrics& m)
{
    const auto& items = layout.Items();
    for (const TaskLink& link : layout.Links()) {
        const TaskItem& p = items[link.predecessorItem];
        const TaskItem& s = items[link.successorItem];
        // Every route stays between the two rows, heads reaching out a little.
        const LONG top = std::min(p.Top, s.Top) - m.headLength;
        const LONG bottom = std::max(p.Bottom, s.Bottom) + m.headLength;
        if (bottom <= 0 || top >= area.height()) continue;

        LinkEnds ends;
        ends.predecessorBar = BarRect(p.Kind(), p.Box(), m);
        ends.predecessorCentre = RowCentre(p.Box());
        ends.predecessorRowTop = p.Top;
        ends.predecessorRowBottom = p.Bottom;
        ends.successorBar = BarRect(s.Kind(), s.Box(), m);
        ends.successorCentre = RowCentre(s.Box());
        ends.successorLeft = s.Left;
        const auto arrow = RouteArrow(link.type, ends, m);
        if (!arrow) continue;
        const PixelRect box = ArrowBounds(*arrow, m);
        if (box.right <= 0 || box.left >= area.width() || box.bottom <= 0 || box.top >= area.height()) continue;
        for (const LineSegment& line : ArrowLines(*arrow, m)) canvas.Line(line, chart_colors::kLink);
    }
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
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setFont(font);
    const LONG height = area.height();
    PixelCanvas canvas(painter, QRect(QPoint(0, 0), area));

    canvas.FillRect({0, 0, area.width(), height}, chart_colors::kBackground);
    PaintWeekends(canvas, backdrop.dayCells, height);
    for (LONG x : backdrop.periodXs) canvas.Line({x, 0}, {x, height}, chart_colors::kGrid);
    if (backdrop.projectRange) PaintProjectRange(painter, canvas, *backdrop.projectRange, height, m);
    PaintLinks(canvas, layout, area, m);

    const QFontMetrics metrics(font);
    painter.setPen(chart_colors::kText);
    const LONG reach = std::max(m.milestoneHalf, LONG(metrics.height()));
    const auto [first, last] = layout.ItemsNear(0, height, reach);
    const auto& items = layout.Items();
    for (std::size_t i = first; i < last; ++i) {
        const TaskItem& item = items[i];
        if (item.Bottom + reach <= 0 || item.Top - reach >= height) continue;
        PaintBar(canvas, item, m);
        PaintLabel(painter, metrics, item, m);
    }
    painter.restore();
}

}  // namespace qmx
