#include "chart/gantt_chart_control_window.h"

#include <QPainter>
#include <QResizeEvent>
#include <QTabBar>

#include "chart/chart_icons.h"
#include "chart/chart_strings.h"
#include "chart/gantt_chart_control.h"
#include "chart/task_tree_view.h"

namespace qmx {

namespace {

// A pixel-height font of the application's face.
QFont PixelFont(int pixels, const QFont& base)
{
    QFont font = base;
    font.setPixelSize(pixels);
    font.setBold(false);
    return font;
}

}  // namespace

ControlTitleBar::ControlTitleBar(QWidget* parent) : QWidget(parent), font_(PixelFont(11, font()))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ControlTitleBar::SetTitle(const QString& title)
{
    title_ = title;
    update();
}

void ControlTitleBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect all = rect();
    // The static edge: shadow on the top and left, highlight on the right
    // and bottom.
    painter.fillRect(all, palette().color(QPalette::Button));
    painter.fillRect(0, 0, all.width(), 1, palette().color(QPalette::Mid));
    painter.fillRect(0, 0, 1, all.height(), palette().color(QPalette::Mid));
    painter.fillRect(0, all.height() - 1, all.width(), 1, palette().color(QPalette::Light));
    painter.fillRect(all.width() - 1, 0, 1, all.height(), palette().color(QPalette::Light));
    const QRect item = all.adjusted(1, 1, -1, -1);
    const QRect text = item.adjusted(4, 0, -8, 0);
    if (text.width() <= 0) return;
    painter.setFont(font_);
    painter.setPen(palette().color(QPalette::ButtonText));
    const QString shown = QFontMetrics(font_).elidedText(title_, Qt::ElideRight, text.width());
    painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
}

GanttChartControlWindow::GanttChartControlWindow(QMXGanttChartControl* control, QWidget* parent)
    : QWidget(parent), control_(control)
{
    // The pages cover the window right of the tabs; the tab bar paints only
    // its tabs, so the window keeps the button face under them.
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);
}

GanttChartControlWindow::~GanttChartControlWindow()
{
    if (control_) control_->OnWindowDestroyed();
}

void GanttChartControlWindow::CreateOwnChildren()
{
    tasksPage_ = new QWidget(this);
    resourcesPage_ = new QWidget(this);
    resourcesPage_->hide();

    tabs_ = new QTabBar(this);
    tabs_->setShape(QTabBar::RoundedWest);
    tabs_->setFocusPolicy(Qt::NoFocus);
    tabs_->setIconSize(QSize(kIconSize, kIconSize));
    tabs_->setFont(PixelFont(14, font()));
    tabs_->setDrawBase(false);
    tabs_->setExpanding(false);
    tabs_->addTab(QIcon(TabImage(0)), LoadChartString(IDS_TAB_TASKS));
    tabs_->addTab(QIcon(TabImage(1)), LoadChartString(IDS_TAB_RESOURCES));
    tabs_->lower();
    QObject::connect(tabs_, &QTabBar::currentChanged, this, [this](int) {
        if (control_) control_->OnTabChanged();
    });

    titleBar_ = new ControlTitleBar(tasksPage_);
    treeBackground_ = new QWidget(tasksPage_);
    treeBackground_->setAutoFillBackground(true);
    treeBackground_->setBackgroundRole(QPalette::Base);
    // The tree view is made under the page, then moved into its background.
    tree_ = new TaskTreeView(control_->Items(), nullptr, tasksPage_);
    tree_->setParent(treeBackground_);
    tree_->show();
}

void GanttChartControlWindow::resizeEvent(QResizeEvent* event)
{
    if (control_ && event->size().width() > 0 && event->size().height() > 0) control_->Layout();
}

}  // namespace qmx
