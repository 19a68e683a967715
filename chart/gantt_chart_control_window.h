// The composite chart control's window and its own children: the vertical
// tabs, the tasks and resources pages, the owner-drawn title bar and the
// tree background. The hosted children (splitter, chart pane, grid) are
// placed into the pages by the control object.
#pragma once

#include <QFont>
#include <QPointer>
#include <QWidget>

class QTabBar;

namespace qmx {

class QMXGanttChartControl;
class TaskTreeView;

// The title bar above the tree: the title in one line, vertically centred,
// cut with an ellipsis, on the button face inside a static edge.
class ControlTitleBar final : public QWidget {
public:
    explicit ControlTitleBar(QWidget* parent);
    void SetTitle(const QString& title);
    const QString& Title() const { return title_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString title_;
    QFont font_;
};

class GanttChartControlWindow final : public QWidget {
public:
    // Child window IDs, as the control's notifications name them.
    enum ChildId { kTabs = 1, kTasksPage = 2, kResourcesPage = 3, kTree = 4, kSplitter = 5, kPane = 6,
                   kTitle = 7, kGrid = 8, kTreeBackground = 9 };

    GanttChartControlWindow(QMXGanttChartControl* control, QWidget* parent);
    ~GanttChartControlWindow() override;

    // The control is ending: forget it.
    void Detach() { control_ = nullptr; }

    // Creates the tabs, the pages, the title bar, the tree background and
    // the tree view, in that order.
    void CreateOwnChildren();

    QTabBar* Tabs() const { return tabs_; }
    QWidget* TasksPage() const { return tasksPage_; }
    QWidget* ResourcesPage() const { return resourcesPage_; }
    ControlTitleBar* TitleBar() const { return titleBar_; }
    QWidget* TreeBackground() const { return treeBackground_; }
    TaskTreeView* Tree() const { return tree_; }

    // The hosted children's windows.
    QPointer<QWidget> splitterWindow;
    QPointer<QWidget> paneWindow;
    QPointer<QWidget> gridWindow;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QMXGanttChartControl* control_;
    QTabBar* tabs_ = nullptr;
    QWidget* tasksPage_ = nullptr;
    QWidget* resourcesPage_ = nullptr;
    ControlTitleBar* titleBar_ = nullptr;
    QWidget* treeBackground_ = nullptr;
    TaskTreeView* tree_ = nullptr;
};

}  // namespace qmx
