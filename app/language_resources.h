// The language resources of the program: QMXGanttDisplay<Language>.rcc next
// to the program, chosen by the "Language" setting with English as the
// fallback. Strings, menus, tool bars, accelerators, icons and dialogs are
// looked up by their resource identifiers. The file holds the text files of
// a language folder (app/lang/English): strings.txt, commands.txt,
// menus.txt, toolbars.txt, accelerators.txt, icons/ and dialogs/.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <QIcon>
#include <QKeySequence>
#include <QString>
#include <QStringList>

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
    QString iconName;        // the icon's resource path, else its bare name
};

struct AcceleratorSpec {
    QKeySequence keys;
    int commandId = 0;
};

inline constexpr const char* kDefaultLanguage = "English";
// The only text that is not a language resource: shown when none loads.
inline constexpr const char* kNoLanguageMessage = "Failed to load language DLL";

class LanguageResources {
public:
    // Reads "Language" from the Settings key and registers the matching
    // resource file from programDir, else the English one. False when
    // neither loads. A later Load replaces the resources of an earlier one.
    static bool Load(const RegistryStore& store, const QString& programDir);
    // Loads one resource file; false when it cannot be registered or holds
    // no string table. The resources loaded before stay in place then.
    static bool LoadFile(const QString& path);
    // The file name of a language: QMXGanttDisplay<language>.rcc; empty for
    // a name that cannot be a language (empty, over 256 characters, holding
    // a path separator or a control character, "." or "..").
    static QString FileName(const QString& language);
    // The resource file in use; empty before a Load succeeded.
    static QString LoadedFile();

    // Empty for an unknown id. A command's id without a string of its own
    // answers "prompt\ntool-tip".
    static QString String(int id);
    // The status-bar prompt and the tool-tip of a command.
    static QString CommandPrompt(int commandId);
    static QString CommandToolTip(int commandId);
    static std::vector<MenuItemSpec> Menu(int id);
    static std::vector<ToolBarButtonSpec> ToolBar(int id);
    static std::vector<AcceleratorSpec> Accelerators();
    static QIcon Icon(int id);
    // A tool-bar button's icon: ToolBar() names it by its resource path;
    // a bare name from the outline is looked up in icons/ too.
    static QIcon ToolBarIcon(const QString& iconName);
    // Loads dialog <id>.ui with QUiLoader; null when it is missing.
    static std::unique_ptr<QWidget> LoadDialog(int id, QWidget* parent);
};

}  // namespace qmx
