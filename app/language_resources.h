// The language resources of the program: QMXGanttDisplay<Language>.rcc next
// to the program, chosen by the "Language" setting with English as the
// fallback. Strings, menus, tool bars, accelerators, icons and dialogs are
// looked up by their resource identifiers.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <QIcon>
#include <QKeySequence>
#include <QString>

class QWidget;

namespace qmx {

class RegistryStore;

// A menu item: a command, a separator or a sub-menu.
struct MenuItemSpec {
    QString text;            // with the & mnemonic; empty for a separator
    int commandId = 0;       // 0 for a separator or a sub-menu
    std::vector<MenuItemSpec> children;
};

struct ToolBarButtonSpec {
    int commandId = 0;       // 0 for a separator
    QString iconName;
};

struct AcceleratorSpec {
    QKeySequence keys;
    int commandId = 0;
};

class LanguageResources {
public:
    // Reads "Language" from the Settings key and registers the matching
    // resource file from programDir, else the English one. False when
    // neither loads.
    static bool Load(const RegistryStore& store, const QString& programDir);

    static QString String(int id);
    static std::vector<MenuItemSpec> Menu(int id);
    static std::vector<ToolBarButtonSpec> ToolBar(int id);
    static std::vector<AcceleratorSpec> Accelerators();
    static QIcon Icon(int id);
    // Loads dialog <id>.ui with QUiLoader; null when it is missing.
    static std::unique_ptr<QWidget> LoadDialog(int id, QWidget* parent);
};

}  // namespace qmx
