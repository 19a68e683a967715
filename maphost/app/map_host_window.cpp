#include "maphost/app/map_host_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QToolBar>

#include "automation/bstr.h"
#include "maphost/app/qt_text.h"
#include "automation/error_info.h"
#include "automation/file_name.h"
#include "maphost/app/add_ins_dialog.h"
#include "maphost/app/host_prompts.h"
#include "maphost/app/map_outline.h"
#include "maphost/app/topic_panel.h"

namespace qmx::map {

namespace {

BSTR FileBstr(const QString& path) { return FileNameToBstr(QFile::encodeName(path).toStdString()); }

}  // namespace

class MapHostWindow::EventSink final : public ComObject<IMmEventSink> {
public:
    explicit EventSink(MapHostWindow* window) : window_(window) {}
    HRESULT OnEvent(IUnknown* pEvent) override
    {
        ComPtr<IMmEventData> data;
        if (!window_ || FAILED(pEvent->QueryInterface(IMmEventData::iid, reinterpret_cast<void**>(data.ReleaseAndGetAddressOf()))))
            return S_OK;
        window_->OnMapEvent(data.Get());
        return S_OK;
    }
    MapHostWindow* window_;
};

MapHostWindow::MapHostWindow(MapApplication* application, HostPrompts* prompts, std::unique_ptr<AddInManager> addIns,
                             QWidget* parent)
    : QMainWindow(parent), app_(application), prompts_(prompts), addIns_(std::move(addIns))
{
    outline_ = new MapOutline;
    outline_->setObjectName(QStringLiteral("outline"));
    panel_ = new TopicPanel(prompts_);
    auto* splitter = new QSplitter;
    splitter->addWidget(outline_);
    splitter->addWidget(panel_);
    splitter->setStretchFactor(0, 3);
    setCentralWidget(splitter);
    maps_ = new QComboBox;
    maps_->setObjectName(QStringLiteral("maps"));
    maps_->setMinimumContentsLength(16);
    BuildMenus();
    connect(outline_, &QTreeWidget::currentItemChanged, this, [this] { panel_->SetTopic(outline_->SelectedTopic()); });
    connect(maps_, &QComboBox::activated, this, [this](int index) {
        const auto& documents = app_->Documents();
        if (index >= 0 && static_cast<std::size_t>(index) < documents.size()) documents[index]->Activate();
    });
    app_->UserInterfaces().AddIns().Controls().onChanged = [this] { RebuildAddInCommands(); };

    sink_ = MakeObject<EventSink>(this);
    app_->Events().Register(kEventTopicMask | kEventDocumentNameChanged | kEventDocumentActivated | kEventDocumentClosed,
                            -1, -1, 0, subscription_.ReleaseAndGetAddressOf());
    ComPtr<IMmConnectionPoint> point;
    subscription_->get_ConnectionPoint(point.ReleaseAndGetAddressOf());
    DWORD cookie = 0;
    point->Advise(sink_.Get(), &cookie);

    app_->SetMainWindowHandle(static_cast<std::int64_t>(winId()));
    app_->SetWindowVisibility({[this] { return isVisible(); }, [this](bool visible) {
                                   setVisible(visible);
                                   if (visible) {
                                       raise();
                                       activateWindow();
                                   }
                               }});
    resize(900, 600);
    ShowActive();
    RebuildAddInCommands();
}

MapHostWindow::~MapHostWindow()
{
    if (addIns_) addIns_->Shutdown();
    app_->UserInterfaces().AddIns().Controls().onChanged = nullptr;
    sink_->window_ = nullptr;
    if (subscription_) subscription_->Unregister();
    app_->SetMainWindowHandle(0);
    app_->SetWindowVisibility({});
}

void MapHostWindow::BuildMenus()
{
    const auto add = [this](QMenu* menu, const char* name, const QString& text, QKeySequence keys, auto slot) {
        QAction* action = menu->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(keys);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    add(file, "fileNew", QStringLiteral("&New"), QKeySequence::New, [this] { NewMap(); });
    add(file, "fileOpen", QStringLiteral("&Open..."), QKeySequence::Open, [this] { OpenWithDialog(); });
    add(file, "fileSave", QStringLiteral("&Save"), QKeySequence::Save, [this] { Save(); });
    add(file, "fileSaveAs", QStringLiteral("Save &As..."), QKeySequence::SaveAs, [this] { SaveAs(); });
    add(file, "fileClose", QStringLiteral("&Close"), QKeySequence::Close, [this] { CloseMap(); });
    file->addSeparator();
    add(file, "fileExit", QStringLiteral("E&xit"), QKeySequence::Quit, [this] { close(); });

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    add(edit, "editAddSubTopic", QStringLiteral("Add &Sub-topic"), QKeySequence(Qt::Key_Insert), [this] { AddSubTopic(); });
    add(edit, "editAddTopic", QStringLiteral("Add &Topic"), QKeySequence(Qt::Key_Return), [this] { AddSiblingTopic(); });
    add(edit, "editRename", QStringLiteral("&Rename"), QKeySequence(Qt::Key_F2), [this] {
        if (outline_->currentItem()) outline_->editItem(outline_->currentItem());
    });
    add(edit, "editDelete", QStringLiteral("&Delete"), QKeySequence::Delete, [this] { DeleteTopic(); });
    edit->addSeparator();
    add(edit, "editCut", QStringLiteral("Cu&t"), QKeySequence::Cut, [this] { CutTopic(); });
    add(edit, "editCopy", QStringLiteral("&Copy"), QKeySequence::Copy, [this] { CopyTopic(); });
    add(edit, "editPaste", QStringLiteral("&Paste"), QKeySequence::Paste, [this] { PasteTopic(); });
    edit->addSeparator();
    add(edit, "editMoveUp", QStringLiteral("Move &Up"), QKeySequence(Qt::ALT | Qt::Key_Up), [this] { MoveTopic(-1); });
    add(edit, "editMoveDown", QStringLiteral("Move Do&wn"), QKeySequence(Qt::ALT | Qt::Key_Down), [this] { MoveTopic(1); });
    for (QAction* action : edit->actions()) action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    outline_->addActions(edit->actions());

    addInsMenu_ = menuBar()->addMenu(QStringLiteral("&Add-ins"));
    addInsMenu_->setObjectName(QStringLiteral("addInsMenu"));
    connect(addInsMenu_, &QMenu::aboutToShow, this, [this] { UpdateCommandStates(); });

    QToolBar* bar = addToolBar(QStringLiteral("Standard"));
    bar->addWidget(maps_);
    addInsBar_ = addToolBar(QStringLiteral("Add-ins"));
    addInsBar_->setObjectName(QStringLiteral("addInsBar"));
}

void MapHostWindow::RebuildAddInCommands()
{
    // An action may be running (a command that unloads its add-in): the old
    // ones go once the event loop is back.
    for (QAction* action : commandActions_) {
        action->setObjectName(QString());
        action->setParent(nullptr);
        action->deleteLater();
    }
    commandActions_.clear();
    addInsMenu_->clear();
    addInsBar_->clear();
    for (const auto& command : app_->UserInterfaces().AddIns().Controls().Commands()) {
        ComPtr<MapCommand> held = command;
        QString caption = ToQString(command->Caption());
        if (caption.isEmpty()) caption = ToQString(command->Name());
        auto* action = new QAction(caption, this);
        commandActions_.push_back(action);
        addInsMenu_->addAction(action);
        action->setObjectName(ToQString(command->Name()));
        action->setData(QVariant::fromValue(reinterpret_cast<quintptr>(command.Get())));
        const QString image = ToQString(command->ImagePath());
        if (!image.isEmpty() && QFileInfo::exists(image)) action->setIcon(QIcon(image));
        connect(action, &QAction::triggered, this, [this, held] {
            held->Execute();
            UpdateCommandStates();
        });
        addInsBar_->addAction(action);
        command->onChanged = [this] { RebuildAddInCommands(); };
    }
    addInsMenu_->addSeparator();
    QAction* manage = addInsMenu_->addAction(QStringLiteral("&Add-ins..."));
    manage->setObjectName(QStringLiteral("addInsDialog"));
    connect(manage, &QAction::triggered, this, [this] { ShowAddInsDialog(); });
    UpdateCommandStates();
}

void MapHostWindow::UpdateCommandStates()
{
    for (QAction* action : addInsMenu_->actions()) {
        auto* command = reinterpret_cast<MapCommand*>(action->data().value<quintptr>());
        if (!command) continue;
        VARIANT_BOOL enabled = VARIANT_TRUE, checked = VARIANT_FALSE;
        command->QueryState(&enabled, &checked);
        action->setEnabled(enabled != VARIANT_FALSE);
        action->setCheckable(checked != VARIANT_FALSE);
        action->setChecked(checked != VARIANT_FALSE);
    }
}

void MapHostWindow::ShowAddInsDialog()
{
    AddInsDialog dialog(addIns_.get(), prompts_, this);
    dialog.exec();
}

MapDocument* MapHostWindow::Active() const { return app_->ActiveDocument(); }

void MapHostWindow::OnMapEvent(IMmEventData* data)
{
    LONG kind = 0, phase = 0;
    data->get_Kind(&kind);
    data->get_Phase(&phase);
    ComPtr<IUnknown> object;
    data->get_Object(object.ReleaseAndGetAddressOf());
    if (kind & kEventTopicMask) {
        ComPtr<IMmTopic> topic;
        if (object && SUCCEEDED(object.As(&topic))) {
            auto* mapTopic = dynamic_cast<MapTopic*>(topic.Get());
            if (mapTopic) {
                outline_->OnTopicEvent(kind, phase, mapTopic);
                if (phase == kPhaseAfter && mapTopic == panel_->Topic()) panel_->Refresh();
            }
        }
        if (phase == kPhaseAfter) {
            UpdateTitle();
            UpdateCommandStates();
        }
        return;
    }
    ShowActive();
}

void MapHostWindow::ShowActive()
{
    MapDocument* active = Active();
    if (outline_->Document() != active) outline_->SetDocument(active);
    panel_->SetTopic(outline_->SelectedTopic());
    RebuildMapChooser();
    UpdateTitle();
    UpdateCommandStates();
    const bool open = active != nullptr;
    for (const char* name : {"fileSave", "fileSaveAs", "fileClose", "editAddSubTopic", "editAddTopic", "editRename",
                             "editDelete", "editCut", "editCopy", "editPaste", "editMoveUp", "editMoveDown"}) {
        if (auto* action = findChild<QAction*>(QString::fromLatin1(name))) action->setEnabled(open);
    }
}

void MapHostWindow::RebuildMapChooser()
{
    maps_->clear();
    int current = -1;
    for (const auto& document : app_->Documents()) {
        BSTR name;
        document->get_Name(&name);
        if (document.Get() == Active()) current = maps_->count();
        maps_->addItem(ToQString(name));
    }
    maps_->setCurrentIndex(current);
}

void MapHostWindow::UpdateTitle()
{
    MapDocument* active = Active();
    if (!active) {
        setWindowTitle(QStringLiteral("QMX Map Host"));
        return;
    }
    BSTR name;
    active->get_Name(&name);
    setWindowTitle(ToQString(name) + (active->IsModified() ? QStringLiteral("*") : QString()) +
                   QStringLiteral(" - QMX Map Host"));
}

void MapHostWindow::ReportFailure(HRESULT hr, const QString& fallback)
{
    if (SUCCEEDED(hr)) return;
    const auto error = GetErrorInfo();
    prompts_->ShowError(this, error && !error->description.empty() ? ToQString(error->description) : fallback);
}

void MapHostWindow::NewMap()
{
    ComPtr<MapDocument> document;
    ReportFailure(app_->NewDocument(&document), QStringLiteral("A new map could not be made."));
}

bool MapHostWindow::OpenMap(const QString& path)
{
    ComPtr<MapDocument> document;
    ClearErrorInfo();
    const HRESULT hr = app_->OpenDocument(QFile::encodeName(path).toStdString(), false, &document);
    ReportFailure(hr, QStringLiteral("The map could not be opened."));
    return SUCCEEDED(hr);
}

void MapHostWindow::OpenWithDialog()
{
    const QString path = prompts_->OpenFileName(this);
    if (!path.isEmpty()) OpenMap(path);
}

bool MapHostWindow::Save()
{
    MapDocument* active = Active();
    if (!active) return false;
    if (active->FilePath().empty()) return SaveAs();
    VARIANT_BOOL readOnly = VARIANT_FALSE;
    active->get_IsReadOnly(&readOnly);
    if (readOnly != VARIANT_FALSE) return SaveAs();
    ClearErrorInfo();
    const HRESULT hr = active->Save();
    ReportFailure(hr, QStringLiteral("The map could not be saved."));
    UpdateTitle();
    return SUCCEEDED(hr);
}

bool MapHostWindow::SaveAs()
{
    MapDocument* active = Active();
    if (!active) return false;
    BSTR name;
    active->get_Name(&name);
    QString suggested = active->FilePath().empty() ? ToQString(name) + QStringLiteral(".mmap")
                                                   : QFile::decodeName(active->FilePath().c_str());
    const QString path = prompts_->SaveFileName(this, suggested);
    if (path.isEmpty()) return false;
    ClearErrorInfo();
    const HRESULT hr = active->SaveAs(FileBstr(path), kFormatMap);
    ReportFailure(hr, QStringLiteral("The map could not be saved."));
    UpdateTitle();
    return SUCCEEDED(hr);
}

bool MapHostWindow::CloseMap()
{
    ComPtr<MapDocument> active(Active());
    if (!active) return true;
    if (active->IsModified()) {
        BSTR name;
        active->get_Name(&name);
        switch (prompts_->AskToSave(this, ToQString(name))) {
        case HostPrompts::SaveAnswer::Cancel: return false;
        case HostPrompts::SaveAnswer::Save:
            if (!Save()) return false;
            break;
        case HostPrompts::SaveAnswer::Discard: break;
        }
    }
    active->Close();
    return true;
}

void MapHostWindow::AddSubTopic()
{
    MapTopic* parent = outline_->SelectedTopic();
    if (!parent) return;
    ComPtr<IMmTopic> added;
    ClearErrorInfo();
    const HRESULT hr = parent->AddSubTopic(u"Topic", added.ReleaseAndGetAddressOf());
    ReportFailure(hr, QStringLiteral("The topic could not be added."));
    if (SUCCEEDED(hr)) {
        outline_->Select(static_cast<MapTopic*>(added.Get()));
        if (QTreeWidgetItem* item = outline_->currentItem()) outline_->editItem(item);
    }
}

void MapHostWindow::AddSiblingTopic()
{
    MapTopic* topic = outline_->SelectedTopic();
    if (!topic) return;
    if (!topic->Parent()) {
        AddSubTopic();
        return;
    }
    MapTopic* parent = topic->Parent();
    const auto& siblings = parent->Children();
    const std::size_t index = static_cast<std::size_t>(std::find(siblings.begin(), siblings.end(), topic) - siblings.begin());
    TopicValues values;
    values.text = u"Topic";
    ComPtr<MapTopic> added;
    ClearErrorInfo();
    const HRESULT hr = topic->Document()->AddTopic(parent, values, index + 1, &added);
    ReportFailure(hr, QStringLiteral("The topic could not be added."));
    if (SUCCEEDED(hr)) {
        outline_->Select(added.Get());
        if (QTreeWidgetItem* item = outline_->currentItem()) outline_->editItem(item);
    }
}

void MapHostWindow::DeleteTopic()
{
    MapTopic* topic = outline_->SelectedTopic();
    if (!topic) return;
    ComPtr<MapTopic> held(topic);
    MapTopic* parent = topic->Parent();
    ClearErrorInfo();
    ReportFailure(topic->Delete(), QStringLiteral("The topic could not be deleted."));
    if (parent && parent->IsAlive()) outline_->Select(parent);
}

void MapHostWindow::CopyTopic()
{
    MapTopic* topic = outline_->SelectedTopic();
    if (topic) clipboard_ = topic->Document()->Snapshot(topic);
}

void MapHostWindow::CutTopic()
{
    MapTopic* topic = outline_->SelectedTopic();
    if (!topic || topic->IsCentral()) return;
    CopyTopic();
    DeleteTopic();
}

void MapHostWindow::PasteTopic()
{
    MapTopic* parent = outline_->SelectedTopic();
    if (!parent || !clipboard_ || clipboard_->topics.empty()) return;
    ComPtr<MapTopic> top;
    ClearErrorInfo();
    const HRESULT hr = parent->Document()->Paste(parent, *clipboard_, parent->Children().size(), &top);
    ReportFailure(hr, QStringLiteral("The topics could not be pasted."));
    if (top && top->IsAlive()) outline_->Select(top.Get());
}

void MapHostWindow::MoveTopic(int step)
{
    MapTopic* topic = outline_->SelectedTopic();
    if (!topic || !topic->Parent()) return;
    const auto& siblings = topic->Parent()->Children();
    const auto index = static_cast<LONG>(std::find(siblings.begin(), siblings.end(), topic) - siblings.begin());
    const LONG position = index + 1 + step;
    if (position < 1 || position > static_cast<LONG>(siblings.size())) return;
    ClearErrorInfo();
    ReportFailure(topic->Document()->MoveTopic(topic, topic->Parent(), position), QStringLiteral("The topic could not be moved."));
    outline_->Select(topic);
}

void MapHostWindow::closeEvent(QCloseEvent* event)
{
    while (Active()) {
        if (!CloseMap()) {
            event->ignore();
            return;
        }
    }
    event->accept();
}

}  // namespace qmx::map
