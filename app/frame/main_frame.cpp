#include "app/frame/main_frame.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include "app/app_commands.h"
#include "app/display_controller.h"
#include "app/frame/chart_host_view.h"
#include "app/frame/lock_keys.h"
#include "app/frame/window_placement.h"
#include "app/print/print_chart.h"
#include "app/language_resources.h"
#include "app/user_interface.h"
#include "adapters/contract/document_data.h"
#include "automation/com_object.h"
#include "automation/error_info.h"

namespace qmx {

namespace {

constexpr int kTaskColourCommandId = 40013;

// "prompt\ntool tip": the part before the line break, or after it.
QString PromptPart(const QString& text, int part)
{
    const QStringList parts = text.split(QLatin1Char('\n'));
    return part < parts.size() ? parts[part] : QString();
}

QString StringOr(int id, const char* fallback)
{
    const QString text = LanguageResources::String(id);
    return text.isEmpty() ? QString::fromLatin1(fallback) : text;
}

}  // namespace

// The frame's sink on the chart control: every event may change what the
// commands may do, so each one schedules a refresh of their states.
class QMXMainFrame::ControlEvents final : public ComObject<_IGanttChartControlEvents> {
public:
    explicit ControlEvents(QMXMainFrame* frame) : frame_(frame) {}
    void Detach() { frame_ = nullptr; }

    HRESULT TaskDblClick(ITask*) override { return Changed(); }
    HRESULT TaskTreeKeyDown(LONG, VARIANT_BOOL*) override { return Changed(); }
    HRESULT TaskTreeContextMenu(LONG, LONG) override { return Changed(); }
    HRESULT ResourceDblClick(IResource*) override { return Changed(); }
    HRESULT ResourceListContextMenu(LONG, LONG) override { return Changed(); }
    HRESULT TaskChanged(ITask*) override { return Changed(); }
    HRESULT TaskResourceDeleted(ITaskResource*) override { return Changed(); }
    HRESULT TimeRangeChanged() override { return Changed(); }

private:
    HRESULT Changed()
    {
        if (frame_) frame_->ScheduleUpdate();
        return S_OK;
    }
    QMXMainFrame* frame_;
};

QMXMainFrame::QMXMainFrame(const MainFrameServices& services)
    : QMainWindow(nullptr), services_(services), router_(this)
{
    setObjectName(QStringLiteral("QMXMainFrame"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    router_.SetHandler([this](int commandId) { OnCommand(commandId); });

    // The saved placement, when it lies on the desktop.
    if (services_.placement) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        const QRect desktop = screen ? screen->availableVirtualGeometry() : QRect();
        const QRect saved = services_.placement->UsableRect(desktop);
        if (saved.isValid()) {
            move(saved.topLeft());
            resize(saved.size());
        } else if (screen) {
            // The platform's default: a good part of the screen, centred.
            const QRect available = screen->availableGeometry();
            resize(available.width() * 3 / 4, available.height() * 3 / 4);
            move(available.center() - rect().center());
        }
    }

    const QString title = PromptPart(LanguageResources::String(kMainFrameResource), 0);
    if (!title.isEmpty()) setWindowTitle(title);
    const QIcon icon = LanguageResources::Icon(kMainFrameResource);
    if (!icon.isNull()) setWindowIcon(icon);
}

QMXMainFrame::~QMXMainFrame()
{
    if (!destroyed_) DestroyWindow();
    qApp->removeEventFilter(this);
}

HRESULT QMXMainFrame::Create()
{
    view_ = new ChartHostView(this);
    view_->setObjectName(QStringLiteral("ChartHostView"));
    const HRESULT hr = view_->CreateControl(services_.store);
    if (FAILED(hr)) return hr;
    setCentralWidget(view_);
    setFocusProxy(view_);

    toolBar_ = new QToolBar(this);
    toolBar_->setObjectName(QStringLiteral("ToolBar"));
    toolBar_->setWindowTitle(LanguageResources::String(kToolBarCaptionString));
    toolBar_->setMovable(true);
    addToolBar(Qt::TopToolBarArea, toolBar_);
    setDockOptions(dockOptions() | QMainWindow::AllowNestedDocks);
    CreateStatusBar();

    router_.SetCommands(services_.commands);
    standalone_ = services_.controller ? services_.controller->IsStandalone() : true;
    BuildMenuBar(standalone_ ? kMainFrameResource : kHostedFrameResource);
    BuildToolBar(standalone_ ? kMainFrameResource : kHostedFrameResource);
    // The commands outside the table have actions from the start, so that
    // their accelerators work whichever menu holds them.
    for (const int commandId : {kExitCommandId, kAboutCommandId, kHelpCommandId}) router_.Action(commandId);
    ApplyAccelerators();
    AdviseControlEvents();

    // The clipboard decides Paste; user input decides the selection.
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        connect(clipboard, &QClipboard::dataChanged, this, [this] { ScheduleUpdate(); });
    qApp->installEventFilter(this);
    UpdateCommandStates();
    return S_OK;
}

IGanttChartControl* QMXMainFrame::ChartControl() { return view_ ? view_->Control() : nullptr; }

void QMXMainFrame::ShowWindow()
{
    if (services_.placement && services_.placement->maximized)
        showMaximized();
    else
        show();
    UpdateCommandStates();
}

void QMXMainFrame::SetStandaloneMode(bool standalone)
{
    standalone_ = standalone;
    BuildMenuBar(standalone ? kMainFrameResource : kHostedFrameResource);
    BuildToolBar(standalone ? kMainFrameResource : kHostedFrameResource);
    UpdateCommandStates();
}

void QMXMainFrame::SendCommand(int commandId) { OnCommand(commandId); }

void QMXMainFrame::UpdateCommandStates()
{
    updateScheduled_ = false;
    router_.UpdateStates();
    UpdateIndicators();
}

void QMXMainFrame::ScheduleUpdate()
{
    if (updateScheduled_ || destroyed_) return;
    updateScheduled_ = true;
    // Refreshed once the current event is done, as an idle-time update.
    QMetaObject::invokeMethod(this, [this] { if (updateScheduled_) UpdateCommandStates(); }, Qt::QueuedConnection);
}

// ---------------------------------------------------------------------------
// Commands

void QMXMainFrame::OnCommand(int commandId)
{
    if (destroyed_) return;
    if (AppCommandOperation(commandId) != 0 && router_.Commands()) {
        ExecuteTableCommand(commandId);
    } else if (commandId >= kFirstRecentFileCommandId && commandId <= kLastRecentFileCommandId) {
        OpenRecentFile(static_cast<std::size_t>(commandId - kFirstRecentFileCommandId));
    } else if (commandId == kExitCommandId) {
        Exit();
    } else if (commandId == kAboutCommandId) {
        ShowAbout();
    } else if (commandId == kHelpCommandId) {
        ShowHelp();
    }
    if (!destroyed_) UpdateCommandStates();
}

void QMXMainFrame::ExecuteTableCommand(int commandId)
{
    // The colour dialog takes the focus; give it back to where it was.
    const QPointer<QWidget> focus = commandId == kTaskColourCommandId ? QApplication::focusWidget() : nullptr;
    router_.Execute(commandId);
    if (focus && !destroyed_) focus->setFocus(Qt::OtherFocusReason);
}

void QMXMainFrame::Exit()
{
    bool canExit = false;
    const HRESULT hr = services_.controller ? services_.controller->Shutdown(false, &canExit) : E_FAIL;
    if (FAILED(hr) || canExit) DestroyWindow();
}

void QMXMainFrame::DestroyWindow()
{
    CapturePlacement(true);
    UnadviseControlEvents();
    router_.SetCommands(nullptr);
    destroyed_ = true;
    updateScheduled_ = false;
    hide();
    // The owner deletes the window once the event loop has ended.
    QCoreApplication::quit();
}

void QMXMainFrame::ShowAbout()
{
    std::unique_ptr<QWidget> layout = LanguageResources::LoadDialog(kAboutDialog, this);
    auto* dialog = qobject_cast<QDialog*>(layout.get());
    if (!dialog) return;
    if (auto* buttons = dialog->findChild<QDialogButtonBox*>()) {
        connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    }
    if (auto* version = dialog->findChild<QLabel*>(QStringLiteral("versionLabel"));
        version && !QCoreApplication::applicationVersion().isEmpty())
        version->setText(version->text().arg(QCoreApplication::applicationVersion()));
    dialog->exec();
}

void QMXMainFrame::ShowHelp()
{
    const QString name = LanguageResources::String(kHelpFileString);
    const QString path = QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(name);
    if (!name.isEmpty() && QFileInfo(path).isFile() && QDesktopServices::openUrl(QUrl::fromLocalFile(path))) return;
    if (!services_.ui) return;
    QString text = LanguageResources::String(kHelpMissingMessage);
    text = text.isEmpty() ? QStringLiteral("The help file %1 cannot be opened.").arg(QDir::toNativeSeparators(path))
                          : text.arg(QDir::toNativeSeparators(path));
    services_.ui->ShowMessage(text.toStdU16String(), MessageButtons::Ok, MessageIcon::Exclamation, MessageAnswer::Ok);
}

void QMXMainFrame::OpenRecentFile(std::size_t index)
{
    if (!services_.recentFiles || !services_.controller) return;
    const std::vector<std::u16string> files = services_.recentFiles->Files();
    if (index >= files.size()) return;
    const std::u16string name = files[index];
    if (SUCCEEDED(services_.controller->OpenDocument(name))) return;
    // The opening may have changed the list: remove the entry by its name.
    const std::vector<std::u16string> now = services_.recentFiles->Files();
    for (std::size_t i = 0; i < now.size(); ++i) {
        if (now[i] == name) {
            services_.recentFiles->Remove(i);
            break;
        }
    }
}

void QMXMainFrame::ShowContextMenu(int subMenu, int xPos, int yPos)
{
    const std::vector<MenuItemSpec> menus = LanguageResources::Menu(kContextMenuResource);
    if (subMenu < 0 || static_cast<std::size_t>(subMenu) >= menus.size()) return;
    UpdateCommandStates();
    QMenu menu(this);
    FillMenu(&menu, menus[static_cast<std::size_t>(subMenu)].children);
    menu.exec(QPoint(xPos, yPos));
}

void QMXMainFrame::PrintActiveView(bool preview)
{
    if (!view_ || !view_->Control()) return;
    QPrinter printer(QPrinter::HighResolution);
    HRESULT hr = S_OK;
    ClearErrorInfo();
    if (preview) {
        QPrintPreviewDialog dialog(&printer, this);
        connect(&dialog, &QPrintPreviewDialog::paintRequested, this,
                [this, &hr](QPrinter* target) { hr = view_->PrintTo(*target); });
        dialog.exec();
    } else {
        // The Print command: dialog, wait cursor and its own messages.
        if (services_.ui) {
            PrintChart(this, view_->Control(), *services_.ui);
            return;
        }
        if (!ShowPrintDialog(printer, this)) return;
        hr = view_->PrintTo(printer);
    }
    // A stopped print says why, when the control told.
    if (SUCCEEDED(hr) || !services_.ui) return;
    if (const auto error = GetErrorInfo(); error && !error->description.empty())
        services_.ui->ShowMessage(error->description, MessageButtons::Ok, MessageIcon::Exclamation, MessageAnswer::Ok);
}

// ---------------------------------------------------------------------------
// Menus, tool bar, accelerators

void QMXMainFrame::BuildMenuBar(int menuId)
{
    auto* bar = new QMenuBar(this);
    recentFilesMenu_ = nullptr;
    recentFilesMarker_ = nullptr;
    const std::vector<MenuItemSpec> items = LanguageResources::Menu(menuId);
    bool first = true;
    for (const MenuItemSpec& item : items) {
        if (item.children.empty() && item.commandId == 0) continue;
        if (item.children.empty()) {
            QAction* action = router_.Action(item.commandId);
            action->setText(item.text);
            bar->addAction(action);
            continue;
        }
        QMenu* menu = bar->addMenu(item.text);
        FillMenu(menu, item.children);
        if (first) {
            // Print preview has no place in the menu.
            if (QAction* preview = router_.FindAction(kPrintPreviewCommandId)) menu->removeAction(preview);
        }
        first = false;
    }
    setMenuBar(bar);
}

void QMXMainFrame::FillMenu(QMenu* menu, const std::vector<MenuItemSpec>& items)
{
    connect(menu, &QMenu::aboutToShow, this, [this] { UpdateCommandStates(); });
    for (const MenuItemSpec& item : items) {
        if (!item.children.empty()) {
            FillMenu(menu->addMenu(item.text), item.children);
        } else if (item.commandId == 0) {
            menu->addSeparator();
        } else if (item.commandId == kFirstRecentFileCommandId && !recentFilesMenu_) {
            // The recent files take the place of their first entry.
            recentFilesMenu_ = menu;
            recentFilesMarker_ = new QAction(menu);
            recentFilesMarker_->setVisible(false);
            menu->addAction(recentFilesMarker_);
            router_.Action(kFirstRecentFileCommandId)->setText(item.text);
            connect(menu, &QMenu::aboutToShow, this, [this] { FillRecentFiles(); });
            FillRecentFiles();
        } else {
            QAction* action = router_.Action(item.commandId);
            action->setText(item.text);
            const QString prompt = LanguageResources::String(item.commandId);
            if (!prompt.isEmpty()) action->setStatusTip(PromptPart(prompt, 0));
            menu->addAction(action);
        }
    }
}

void QMXMainFrame::FillRecentFiles()
{
    if (!recentFilesMenu_ || !recentFilesMarker_) return;
    for (int commandId = kFirstRecentFileCommandId; commandId <= kLastRecentFileCommandId; ++commandId)
        if (QAction* action = router_.FindAction(commandId)) recentFilesMenu_->removeAction(action);
    const std::vector<std::u16string> files =
        services_.recentFiles ? services_.recentFiles->Files() : std::vector<std::u16string>{};
    const std::size_t count =
        std::min<std::size_t>(files.size(), kLastRecentFileCommandId - kFirstRecentFileCommandId + 1);
    if (count == 0) {
        // An empty list shows its placeholder, disabled.
        QAction* placeholder = router_.Action(kFirstRecentFileCommandId);
        placeholder->setText(LanguageResources::String(kFirstRecentFileCommandId).isEmpty()
                                 ? placeholder->text()
                                 : PromptPart(LanguageResources::String(kFirstRecentFileCommandId), 1));
        placeholder->setEnabled(false);
        recentFilesMenu_->insertAction(recentFilesMarker_, placeholder);
        return;
    }
    const QFontMetrics metrics(recentFilesMenu_->font());
    for (std::size_t i = 0; i < count; ++i) {
        QAction* action = router_.Action(kFirstRecentFileCommandId + static_cast<int>(i));
        const QString path = QDir::toNativeSeparators(QString::fromStdU16String(files[i]));
        QString shown = metrics.elidedText(path, Qt::ElideMiddle, metrics.averageCharWidth() * 60);
        shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
        action->setText(i < 9 ? QStringLiteral("&%1 %2").arg(i + 1).arg(shown)
                              : QStringLiteral("%1 %2").arg(i + 1).arg(shown));
        action->setStatusTip(path);
        action->setEnabled(true);
        recentFilesMenu_->insertAction(recentFilesMarker_, action);
    }
}

QStringList QMXMainFrame::RecentFileEntries() const
{
    QStringList entries;
    if (!recentFilesMenu_) return entries;
    for (QAction* action : recentFilesMenu_->actions()) {
        const int commandId = action->data().toInt();
        if (commandId >= kFirstRecentFileCommandId && commandId <= kLastRecentFileCommandId && action->isEnabled())
            entries.push_back(action->text());
    }
    return entries;
}

void QMXMainFrame::BuildToolBar(int toolBarId)
{
    if (!toolBar_) return;
    toolBar_->clear();
    toolBar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    for (const ToolBarButtonSpec& button : LanguageResources::ToolBar(toolBarId)) {
        if (button.commandId == 0) {
            toolBar_->addSeparator();
            continue;
        }
        QAction* action = router_.Action(button.commandId);
        if (!button.iconName.isEmpty()) {
            QIcon icon(button.iconName);
            if (icon.isNull() || icon.availableSizes().isEmpty()) icon = QIcon::fromTheme(button.iconName, icon);
            action->setIcon(icon);
        }
        // The tool tip is the second part of the command's prompt, else the
        // menu text without its mnemonic.
        QString tip = PromptPart(LanguageResources::String(button.commandId), 1);
        if (tip.isEmpty()) tip = QString(action->text()).remove(QLatin1Char('&'));
        action->setToolTip(tip);
        toolBar_->addAction(action);
    }
}

void QMXMainFrame::ApplyAccelerators()
{
    std::map<int, QList<QKeySequence>> keys;
    for (const AcceleratorSpec& accelerator : LanguageResources::Accelerators())
        if (accelerator.commandId != 0 && !accelerator.keys.isEmpty())
            keys[accelerator.commandId].push_back(accelerator.keys);
    for (const auto& [commandId, sequences] : keys) {
        QAction* action = router_.Action(commandId);
        action->setShortcuts(sequences);
        action->setShortcutContext(Qt::WindowShortcut);
    }
}

// ---------------------------------------------------------------------------
// Status bar

void QMXMainFrame::CreateStatusBar()
{
    QStatusBar* bar = statusBar();
    messagePane_ = new QLabel(StringOr(kIdleMessageString, ""), bar);
    messagePane_->setObjectName(QStringLiteral("MessagePane"));
    bar->addWidget(messagePane_, 1);
    // The menus' prompts show in the message pane, and the idle message
    // comes back when they are gone.
    connect(bar, &QStatusBar::messageChanged, this, [this](const QString& message) {
        messagePane_->setVisible(message.isEmpty());
    });
    const auto indicator = [bar](const QString& name, const QString& text) {
        auto* label = new QLabel(bar);
        label->setObjectName(name);
        label->setAlignment(Qt::AlignCenter);
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(text) + 8);
        bar->addPermanentWidget(label);
        return label;
    };
    modifiedPane_ = indicator(QStringLiteral("ModifiedIndicator"), StringOr(kModifiedIndicatorString, "MOD"));
    capsPane_ = indicator(QStringLiteral("CapsLockIndicator"), StringOr(kCapsLockIndicatorString, "CAP"));
    numPane_ = indicator(QStringLiteral("NumLockIndicator"), StringOr(kNumLockIndicatorString, "NUM"));
    scrollPane_ = indicator(QStringLiteral("ScrollLockIndicator"), StringOr(kScrollLockIndicatorString, "SCRL"));
}

void QMXMainFrame::UpdateIndicators()
{
    if (!modifiedPane_) return;
    VARIANT_BOOL modified = 0;
    if (!services_.document || FAILED(services_.document->get_IsModified(&modified))) modified = 0;
    modifiedPane_->setText(modified == VARIANT_TRUE ? StringOr(kModifiedIndicatorString, "MOD") : QString());

    const std::optional<LockKeyState> locks = ReadLockKeyState();
    for (QLabel* pane : {capsPane_, numPane_, scrollPane_}) pane->setVisible(locks.has_value());
    if (!locks) return;
    capsPane_->setText(locks->capsLock ? StringOr(kCapsLockIndicatorString, "CAP") : QString());
    numPane_->setText(locks->numLock ? StringOr(kNumLockIndicatorString, "NUM") : QString());
    scrollPane_->setText(locks->scrollLock ? StringOr(kScrollLockIndicatorString, "SCRL") : QString());
}

QString QMXMainFrame::ModifiedIndicatorText() const { return modifiedPane_ ? modifiedPane_->text() : QString(); }

// ---------------------------------------------------------------------------
// Window events

void QMXMainFrame::closeEvent(QCloseEvent* event)
{
    if (destroyed_) {
        event->accept();
        return;
    }
    // A close request is the Close operation: stand-alone mode exits,
    // hosted mode only hides the window.
    event->ignore();
    if (IAppCommands* commands = router_.Commands()) {
        const ComPtr<IAppCommands> keep(commands);
        keep->Close();
    } else {
        Exit();
    }
}

void QMXMainFrame::moveEvent(QMoveEvent* event)
{
    QMainWindow::moveEvent(event);
    CapturePlacement(false);
}

void QMXMainFrame::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    CapturePlacement(false);
}

void QMXMainFrame::focusInEvent(QFocusEvent* event)
{
    QMainWindow::focusInEvent(event);
    if (view_) view_->setFocus(event->reason());
}

bool QMXMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonRelease:
    case QEvent::KeyRelease:
    case QEvent::FocusIn:
    case QEvent::WindowActivate:
        // What the user did may have changed the selection or the view.
        ScheduleUpdate();
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void QMXMainFrame::CapturePlacement(bool final)
{
    if (!services_.placement || destroyed_) return;
    const Qt::WindowStates state = windowState();
    if (!final) {
        if (!isVisible() || (state & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen))) return;
        services_.placement->Capture(QRect(pos(), size()));
        return;
    }
    // At destruction: the rectangle the window has when restored.
    if (isVisible() || placementCaptured_) {
        if (state & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen)) {
            const QRect normal = normalGeometry();
            if (normal.isValid()) services_.placement->Capture(normal);
        } else {
            services_.placement->Capture(QRect(pos(), size()));
        }
        services_.placement->maximized = (state & Qt::WindowMaximized) != 0;
    }
}

// ---------------------------------------------------------------------------
// The control's events

void QMXMainFrame::AdviseControlEvents()
{
    IGanttChartControl* control = ChartControl();
    if (!control) return;
    ComPtr<IGanttChartControlEventSource> source;
    if (FAILED(ComPtr<IGanttChartControl>(control).As(&source))) return;
    auto sink = MakeObject<ControlEvents>(this);
    if (!sink) return;
    if (SUCCEEDED(source->Advise(sink.Get(), &eventCookie_))) eventSink_ = sink;
}

void QMXMainFrame::UnadviseControlEvents()
{
    if (!eventSink_) return;
    static_cast<ControlEvents*>(eventSink_.Get())->Detach();
    if (IGanttChartControl* control = ChartControl()) {
        ComPtr<IGanttChartControlEventSource> source;
        if (SUCCEEDED(ComPtr<IGanttChartControl>(control).As(&source))) source->Unadvise(eventCookie_);
    }
    eventSink_.Reset();
    eventCookie_ = 0;
}

// ---------------------------------------------------------------------------

std::unique_ptr<MainFrame> CreateMainFrame(const MainFrameServices& services)
{
    auto frame = std::make_unique<QMXMainFrame>(services);
    if (SUCCEEDED(frame->Create())) return frame;
    if (services.ui)
        services.ui->ShowMessage(LanguageResources::String(kControlFailedMessage).toStdU16String(), MessageButtons::Ok,
                                 MessageIcon::Error, MessageAnswer::Ok);
    return nullptr;
}

}  // namespace qmx
