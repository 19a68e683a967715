// The host's main window: the active map as an outline beside the selected
// topic's values, the open maps to choose from, the file and edit commands,
// and the commands that add-ins place, enabled by their state query.
#pragma once

#include <QMainWindow>

#include <memory>

#include "automation/com_ptr.h"
#include "maphost/app/add_in_manager.h"
#include "maphost/store/map_application.h"
#include "maphost/store/map_snapshot.h"

class QAction;
class QComboBox;
class QMenu;
class QToolBar;

namespace qmx::map {

class HostPrompts;
class MapOutline;
class TopicPanel;

class MapHostWindow final : public QMainWindow {
public:
    // The window works on the application and keeps its add-ins.
    MapHostWindow(MapApplication* application, HostPrompts* prompts, std::unique_ptr<AddInManager> addIns,
                  QWidget* parent = nullptr);
    ~MapHostWindow() override;

    MapOutline* outline() const { return outline_; }
    TopicPanel* panel() const { return panel_; }
    QComboBox* mapChooser() const { return maps_; }
    QMenu* addInsMenu() const { return addInsMenu_; }
    QToolBar* addInsToolBar() const { return addInsBar_; }
    AddInManager& addIns() { return *addIns_; }

    // The commands of the menus (also reachable by their object names).
    void NewMap();
    bool OpenMap(const QString& path);
    void OpenWithDialog();
    bool Save();
    bool SaveAs();
    // Asks to save a modified map; false when the user cancelled.
    bool CloseMap();
    void AddSubTopic();
    void AddSiblingTopic();
    void DeleteTopic();
    void CopyTopic();
    void CutTopic();
    void PasteTopic();
    void MoveTopic(int step);
    void ShowAddInsDialog();
    // Asks the add-ins' commands for their state and shows it.
    void UpdateCommandStates();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    class EventSink;
    void OnMapEvent(IMmEventData* data);
    void BuildMenus();
    void RebuildMapChooser();
    void RebuildAddInCommands();
    void ShowActive();
    void UpdateTitle();
    void ReportFailure(HRESULT hr, const QString& fallback);
    MapDocument* Active() const;

    ComPtr<MapApplication> app_;
    HostPrompts* prompts_;
    std::unique_ptr<AddInManager> addIns_;
    ComPtr<IMmEventSubscription> subscription_;
    ComPtr<EventSink> sink_;
    MapOutline* outline_;
    TopicPanel* panel_;
    QComboBox* maps_;
    QMenu* addInsMenu_ = nullptr;
    QToolBar* addInsBar_ = nullptr;
    std::optional<MapSnapshot> clipboard_;
    std::vector<QAction*> commandActions_;  // the add-ins' commands
};

}  // namespace qmx::map
