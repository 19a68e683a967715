// The user-interface seam on Qt's own dialogs: message boxes, file and
// colour dialogs, the document-type choice (layout 116), the context menus
// of menu 4 and the editing dialogs of app/dialogs.
#pragma once

#include <functional>
#include <utility>

#include <QString>

#include "app/user_interface.h"

class QWidget;

namespace qmx {

inline constexpr int kDocumentTypeLayout = 116;
inline constexpr int kNewDocumentCaption = 149;
inline constexpr int kExportDocumentCaption = 150;
inline constexpr int kContextMenus = 4;

// "Name|*.ext|Name 2|*.a;*.b|" as a Qt name filter ("Name (*.ext);;Name 2
// (*.a *.b)"); a name that already ends with its patterns keeps them once.
QString QtFileFilter(const std::u16string& filter);

class QtUserInterface final : public UserInterface {
public:
    // parent: the window the dialogs belong to (the main window, may be
    // null); routeCommand: where a context-menu choice goes;
    // commandState: enabled and checked of a command for the menu;
    // contextMenu: the main window's own context menus, used when set.
    struct Hooks {
        std::function<QWidget*()> parent;
        std::function<void(int commandId)> routeCommand;
        std::function<std::pair<bool, int>(int commandId)> commandState;
        std::function<bool(int subMenu, int xPos, int yPos)> contextMenu;
    };
    QtUserInterface() = default;
    void SetHooks(Hooks hooks) { hooks_ = std::move(hooks); }

    MessageAnswer ShowMessage(const std::u16string& text, MessageButtons buttons, MessageIcon icon,
                              MessageAnswer defaultAnswer) override;
    std::optional<std::u16string> GetOpenFileName(const std::u16string& filter) override;
    std::optional<std::u16string> GetSaveFileName(const std::u16string& filter, const std::u16string& defaultExtension,
                                                  const std::u16string& initialName) override;
    std::optional<std::uint32_t> ChooseColor(std::uint32_t initial) override;
    std::optional<int> ChooseDocumentType(const std::vector<std::u16string>& names, bool forExport) override;
    void ShowContextMenu(int subMenu, int xPos, int yPos) override;
    void SetWaitCursor(bool wait) override;
    bool EditTaskProperties(ITask* pTask, IResources* pPool, IGanttAdapter* pAdapter) override;
    bool EditResourceName(std::u16string& name) override;
    bool EditDocumentProperties(std::u16string& name, std::u16string& description) override;

private:
    QWidget* Parent() const;

    Hooks hooks_;
    int waitDepth_ = 0;
};

}  // namespace qmx
