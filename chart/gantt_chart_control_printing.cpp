// The composite control's printing: the fixed page layout, the title box
// and the tree column; the timeline strip and the chart stripes are the
// chart pane's.
#include <QApplication>
#include <QFontMetrics>
#include <QPainter>

#include "chart/chart_icons.h"
#include "chart/gantt_chart_control.h"
#include "chart/gantt_chart_control_window.h"
#include "chart/gantt_chart_pane_interfaces.h"
#include "chart/pixel_canvas.h"

namespace qmx {

namespace {

using namespace page_layout;

// The text cut at a word boundary with an ellipsis when it is wider than
// `width`; cut within the first word when not even that fits.
QString ElideAtWord(const QString& text, const QFontMetrics& metrics, int width)
{
    if (metrics.horizontalAdvance(text) <= width) return text;
    const QString ellipsis(QChar(0x2026));
    for (qsizetype end = text.lastIndexOf(QLatin1Char(' ')); end > 0; end = text.lastIndexOf(QLatin1Char(' '), end - 1)) {
        const QString shown = text.left(end).trimmed() + ellipsis;
        if (!text.left(end).trimmed().isEmpty() && metrics.horizontalAdvance(shown) <= width) return shown;
    }
    return metrics.elidedText(text, Qt::ElideRight, width);
}

}  // namespace

HRESULT QMXGanttChartControl::PreparePrinting(QPainter* hDC, LONG* pnPageCount)
{
    if (!pnPageCount) return E_POINTER;
    *pnPageCount = 0;
    if (!hDC) return E_POINTER;
    print_.reset();
    const std::optional<DeviceScale> scale = DeviceScale::Of(hDC->device());
    if (!scale) return E_FAIL;
    const std::optional<PageLayout> page = ComputePageLayout(scale->horzSize, scale->vertSize);
    if (!page) return E_FAIL;  // no room for one row
    if (!pane_) return E_UNEXPECTED;

    PrintState state;
    state.scale = *scale;
    state.page = *page;
    // The visible items in display order; depths follow from the walk, a
    // parent always coming before its children.
    const std::vector<TreeItem*>& visible = items_.VisibleRows();
    state.rows.reserve(visible.size());
    std::vector<TreeItem*> ancestors;
    for (TreeItem* item : visible) {
        while (!ancestors.empty() && ancestors.back() != item->parent) ancestors.pop_back();
        PrintedRow row;
        row.task = item->task;
        row.text = item->text;
        row.depth = int(ancestors.size());
        row.image = item->image;
        row.hasChildren = item->HasChildren();
        row.expanded = item->expanded;
        state.rows.push_back(std::move(row));
        ancestors.push_back(item);
    }
    state.pageCount = state.page.PageCount(LONG(state.rows.size()));

    const HRESULT hr = pane_->PreparePrinting(hDC, kStripeHeight, kChartTopMargin);
    if (FAILED(hr)) return hr;

    const QPalette palette = window_ ? window_->palette() : QApplication::palette();
    state.frameColor = palette.color(QPalette::Active, QPalette::Dark);
    state.headerColor = palette.color(QPalette::Active, QPalette::Button);
    state.textColor = palette.color(QPalette::Active, QPalette::ButtonText);
    state.rowFont = QApplication::font();
    state.rowFont.setPixelSize(std::max(1, int(scale->Y(kRowFontHeight))));
    state.rowFont.setWeight(QFont::Normal);
    *pnPageCount = state.pageCount;
    print_ = std::move(state);
    return S_OK;
}

HRESULT QMXGanttChartControl::PrintPage(QPainter* hDC, LONG iPage)
{
    if (!hDC) return E_POINTER;
    if (!print_ || !pane_) return E_UNEXPECTED;
    const LONG tasks = LONG(print_->rows.size());
    const auto [first, last] = print_->page.TasksOnPage(iPage, tasks);
    if (first >= tasks) return S_FALSE;

    const PageLayout& page = print_->page;
    hDC->save();
    hDC->setRenderHint(QPainter::Antialiasing, false);
    PrintTitleBox(*hDC);
    for (LONG i = first; i < last; ++i) PrintTreeRow(*hDC, print_->rows[std::size_t(i)], i - first);
    hDC->restore();

    const LONG chartLeft = kMargin + page.treeWidth;
    const LONG chartRight = page.paperWidth - kMargin;
    HRESULT hr = pane_->PrintTimelinePane(hDC, chartLeft, kMargin, chartRight, kMargin + kHeaderHeight);
    if (FAILED(hr)) return hr;
    const LONG bottom = kMargin + kHeaderHeight + kChartTopMargin + (last - first) * kStripeHeight;
    hr = pane_->PrintChartPane(hDC, first, last - 1, chartLeft, kMargin + kHeaderHeight, chartRight, bottom);
    return FAILED(hr) ? hr : S_OK;
}

void QMXGanttChartControl::PrintTitleBox(QPainter& painter) const
{
    const PrintState& state = *print_;
    const DeviceScale& s = state.scale;
    const PixelRect box{s.X(kMargin), s.Y(kMargin), s.X(kMargin + state.page.treeWidth) + 1,
                        s.Y(kMargin + kHeaderHeight)};
    PixelCanvas canvas(painter, QRect(QPoint(box.left, box.top), QPoint(box.right - 1, box.bottom - 1)));
    canvas.FramedRect(box, state.frameColor, state.headerColor);
    const QRect text(QPoint(int(s.X(kMargin + kTitleInset)), int(box.top)),
                     QPoint(int(s.X(kMargin + state.page.treeWidth - kTitleInset)) - 1, int(box.bottom) - 1));
    if (text.width() <= 0) return;
    painter.setFont(state.rowFont);
    painter.setPen(state.textColor);
    const QFontMetrics metrics(state.rowFont, painter.device());
    painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     ElideAtWord(QString::fromStdU16String(title_), metrics, text.width()));
}

void QMXGanttChartControl::PrintTreeRow(QPainter& painter, const PrintedRow& row, LONG stripe) const
{
    const PrintState& state = *print_;
    const DeviceScale& s = state.scale;
    const double columnRight = kMargin + state.page.treeWidth;
    const double indent = kMargin + kIndentPerLevel * row.depth;
    if (indent >= columnRight) return;  // nested deeper than the column is wide
    const double top = kMargin + kHeaderHeight + kChartTopMargin + double(stripe) * kStripeHeight;
    const double centre = top + kStripeHeight / 2.0;

    painter.save();
    painter.setClipRect(QRect(QPoint(int(s.X(indent)), int(s.Y(top))),
                              QPoint(int(s.X(columnRight)) - 1, int(s.Y(top + kStripeHeight)) - 1)),
                        Qt::IntersectClip);
    if (row.hasChildren) {
        painter.setPen(QPen(Qt::black, 0));
        painter.setBrush(Qt::NoBrush);
        const double r = kMarkerSize / 2.0;
        const LONG cx = s.X(indent + r);
        const LONG cy = s.Y(centre);
        painter.drawEllipse(QRect(QPoint(int(s.X(indent)), int(s.Y(centre - r))),
                                  QPoint(int(s.X(indent + kMarkerSize)) - 1, int(s.Y(centre + r)) - 1)));
        const LONG arm = std::max(s.X(r / 2.0), LONG(1));
        painter.drawLine(int(cx - arm), int(cy), int(cx + arm), int(cy));
        if (!row.expanded) painter.drawLine(int(cx), int(cy - s.Y(r / 2.0)), int(cx), int(cy + s.Y(r / 2.0)));
    }
    const double iconLeft = indent + kIconOffset;
    const QPixmap icon = TaskTreeImage(row.image);
    if (!icon.isNull()) {
        painter.drawPixmap(QRect(QPoint(int(s.X(iconLeft)), int(s.Y(centre - kTreeIconSize / 2))),
                                 QPoint(int(s.X(iconLeft + kTreeIconSize)) - 1, int(s.Y(centre + kTreeIconSize / 2)) - 1)),
                           icon);
    }
    painter.setFont(state.rowFont);
    painter.setPen(state.textColor);
    painter.drawText(QPoint(int(s.X(iconLeft + kNameOffset)), int(s.Y(centre))), row.text);
    painter.restore();
}

HRESULT QMXGanttChartControl::EndPrinting()
{
    print_.reset();
    return pane_ ? pane_->EndPrinting() : S_OK;
}

}  // namespace qmx
