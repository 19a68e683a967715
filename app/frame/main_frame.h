// QMXMainFrame: the main window around the chart host view, with its menus,
// tool bar and status bar, the routing of commands to the application
// object, the commands it handles itself (Exit, About, Help, the recent
// files) and the capture of its placement.
#pragma once

#include <QMainWindow>
#include <QPointer>

#include "app/frame/command_router.h"
#include "app/frame/main_frame_factory.h"
#include "automation/com_ptr.h"

class QLabel;
class QMenu;
class QToolBar;
struct _IGanttChartControlEvents;

namespace qmx {

class ChartHostView;
struct MenuItemSpec;

// String and resource identifiers the window reads from the language resources.
inline constexpr int kMainFrameResource = 128;       // menu, tool bar, icon and title of stand-alone mode
inline constexpr int kHostedFrameResource = 129;     // menu and tool bar of hosted mode
inline constexpr int kContextMenuResource = 4;
inline constexpr int kToolBarCaptionString = 129;
inline constexpr int kControlFailedMessage = 130;
inline constexpr int kHelpFileString = 165;
inline constexpr int kAboutDialog = 100;
inline constexpr int kModifiedIndicatorString = 60000;
inline constexpr int kIdleMessageString = 57345;
inline constexpr int kCapsLockIndicatorString = 59137;
inline constexpr int kNumLockIndicatorString = 59138;
inline constexpr int kScrollLockIndicatorString = 59139;
inline constexpr int kHelpMissingMessage = 60001;
inline constexpr int kPrintPreviewCommandId = 57609;

class QMXMainFrame final : public QMainWindow, public MainFrame {
public:
    explicit QMXMainFrame(const MainFrameServices& services);
    ~QMXMainFrame() override;

    // Creates the chart host view's control; a failure is returned and the
    // frame must not be used.
    HRESULT Create();

    // MainFrame
    QMainWindow* Window() override { return this; }
    IGanttChartControl* ChartControl() override;
    void ShowWindow() override;
    void SetStandaloneMode(bool standalone) override;
    void SendCommand(int commandId) override;
    void UpdateCommandStates() override;
    void ShowContextMenu(int subMenu, int xPos, int yPos) override;
    void PrintActiveView(bool preview) override;

    ChartHostView* View() const { return view_; }
    CommandRouter& Router() { return router_; }
    // True once Exit destroyed the window (it only waits for its owner).
    bool IsDestroyed() const { return destroyed_; }
    // The texts of the status bar's indicators as shown now.
    QString ModifiedIndicatorText() const;
    // The menu shown for a recent-file list now: the entries' texts.
    QStringList RecentFileEntries() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class ControlEvents;

    void OnCommand(int commandId);
    void Exit();
    void DestroyWindow();
    void ShowAbout();
    void ShowHelp();
    void OpenRecentFile(std::size_t index);
    void ExecuteTableCommand(int commandId);

    void BuildMenuBar(int menuId);
    void BuildToolBar(int toolBarId);
    void FillMenu(QMenu* menu, const std::vector<MenuItemSpec>& items);
    void FillRecentFiles();
    void ApplyAccelerators();
    void CreateStatusBar();
    void UpdateIndicators();
    void ScheduleUpdate();
    void CapturePlacement(bool final);
    void AdviseControlEvents();
    void UnadviseControlEvents();

    MainFrameServices services_;
    CommandRouter router_;
    ChartHostView* view_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QLabel* messagePane_ = nullptr;
    QLabel* modifiedPane_ = nullptr;
    QLabel* capsPane_ = nullptr;
    QLabel* numPane_ = nullptr;
    QLabel* scrollPane_ = nullptr;
    QPointer<QMenu> recentFilesMenu_;
    QAction* recentFilesMarker_ = nullptr;
    ComPtr<_IGanttChartControlEvents> eventSink_;
    DWORD eventCookie_ = 0;
    bool standalone_ = true;
    bool updateScheduled_ = false;
    bool destroyed_ = false;
    bool placementCaptured_ = false;
};

}  // namespace qmx
