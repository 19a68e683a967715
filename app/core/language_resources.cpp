#include "app/language_resources.h"

#include <map>
#include <utility>

#include <QDir>
#include <QFile>
#include <QResource>
#include <QUiLoader>
#include <QWidget>

#include "app/core/resource_text.h"
#include "app/frame/window_placement.h"
#include "automation/runtime/registry_store.h"

namespace qmx {
namespace {

constexpr qsizetype kLongestLanguageName = 256;

// Everything read from the resource file in use. The file's tree stays
// registered under `root` for the icons and dialog layouts.
struct Resources {
    QString file;
    QString root;
    std::map<int, QString> strings;
    std::map<int, std::pair<QString, QString>> commands;
    std::map<int, std::vector<MenuItemSpec>> menus;
    std::map<int, std::vector<ToolBarButtonSpec>> toolBars;
    std::vector<AcceleratorSpec> accelerators;
};

// The file in use is given back to Qt when the program ends.
struct CurrentResources {
    Resources resources;
    ~CurrentResources()
    {
        if (!resources.file.isEmpty()) QResource::unregisterResource(resources.file, resources.root);
    }
};

Resources& Current()
{
    static CurrentResources current;
    return current.resources;
}

std::optional<QString> ReadText(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    return QString::fromUtf8(file.readAll());
}

void Warn(const QString& file, const QStringList& problems)
{
    for (const QString& problem : problems) qWarning("%s: %s", qUtf8Printable(file), qUtf8Printable(problem));
}

// The icon file of a name under root (":/qmxlang/1"), empty when none.
QString IconPath(const QString& root, const QString& name)
{
    if (root.isEmpty() || name.isEmpty() || name.contains(u'/')) return {};
    const QString base = QStringLiteral("%1/icons/%2").arg(root, name);
    for (const char* extension : {".svg", ".png"})
        if (QFile::exists(base + QLatin1String(extension))) return base + QLatin1String(extension);
    return {};
}

// Reads the text files under root; false without a string table.
bool ReadResources(const QString& root, Resources& into)
{
    const auto strings = ReadText(root + QStringLiteral("/strings.txt"));
    if (!strings) return false;
    QStringList problems;
    for (Entry& entry : ParseEntries(*strings, &problems)) into.strings[entry.id] = std::move(entry.text);
    Warn(QStringLiteral("strings.txt"), problems);
    if (into.strings.empty()) return false;

    if (const auto commands = ReadText(root + QStringLiteral("/commands.txt"))) {
        problems.clear();
        for (const Entry& entry : ParseEntries(*commands, &problems))
            into.commands[entry.id] = SplitCommandText(entry.text);
        Warn(QStringLiteral("commands.txt"), problems);
    }
    if (const auto menus = ReadText(root + QStringLiteral("/menus.txt"))) {
        problems.clear();
        into.menus = ParseMenus(*menus, &problems);
        Warn(QStringLiteral("menus.txt"), problems);
    }
    if (const auto toolBars = ReadText(root + QStringLiteral("/toolbars.txt"))) {
        problems.clear();
        into.toolBars = ParseToolBars(*toolBars, &problems);
        // A button's icon is named by the file it is read from; a name
        // without a file stays a bare name (an icon theme may know it).
        for (auto& [id, buttons] : into.toolBars)
            for (ToolBarButtonSpec& button : buttons)
                if (const QString path = IconPath(root, button.iconName); !path.isEmpty()) button.iconName = path;
        Warn(QStringLiteral("toolbars.txt"), problems);
    }
    if (const auto accelerators = ReadText(root + QStringLiteral("/accelerators.txt"))) {
        problems.clear();
        for (const Entry& entry : ParseEntries(*accelerators, &problems)) {
            QKeySequence keys = QKeySequence::fromString(entry.text, QKeySequence::PortableText);
            if (keys.isEmpty() || keys[0].key() == Qt::Key_unknown)
                problems.append(QStringLiteral("command %1: \"%2\" are no keys").arg(entry.id).arg(entry.text));
            else
                into.accelerators.push_back({keys, entry.id});
        }
        Warn(QStringLiteral("accelerators.txt"), problems);
    }
    return true;
}

}  // namespace

QString LanguageResources::FileName(const QString& language)
{
    if (language.isEmpty() || language.size() > kLongestLanguageName || language == QLatin1String(".") ||
        language == QLatin1String(".."))
        return {};
    for (const QChar c : language)
        if (c == u'/' || c == u'\\' || c.category() == QChar::Other_Control) return {};
    return QStringLiteral("QMXGanttDisplay%1.rcc").arg(language);
}

bool LanguageResources::LoadFile(const QString& path)
{
    // Each file gets a root of its own, so that the one in use stays intact
    // until its successor has been read.
    static int loads = 0;
    const QString root = QStringLiteral("/qmxlang/%1").arg(++loads);
    if (path.isEmpty() || !QFile::exists(path) || !QResource::registerResource(path, root)) return false;
    Resources loaded;
    loaded.file = path;
    loaded.root = root;
    if (!ReadResources(QLatin1Char(':') + root, loaded)) {
        QResource::unregisterResource(path, root);
        return false;
    }
    Resources& current = Current();
    if (!current.file.isEmpty()) QResource::unregisterResource(current.file, current.root);
    current = std::move(loaded);
    return true;
}

bool LanguageResources::Load(const RegistryStore& store, const QString& programDir)
{
    const QDir dir(programDir);
    if (const auto language = store.GetString(kSettingsKey, "Language")) {
        const QString name = FileName(QString::fromStdString(*language));
        if (!name.isEmpty() && LoadFile(dir.filePath(name))) return true;
    }
    return LoadFile(dir.filePath(FileName(QLatin1String(kDefaultLanguage))));
}

QString LanguageResources::LoadedFile() { return Current().file; }

QString LanguageResources::String(int id)
{
    const auto& strings = Current().strings;
    if (const auto found = strings.find(id); found != strings.end()) return found->second;
    // A command without a string of its own answers its prompt and tool-tip
    // as one "prompt\ntool-tip" string.
    const auto& commands = Current().commands;
    if (const auto found = commands.find(id); found != commands.end())
        return found->second.first + QLatin1Char('\n') + found->second.second;
    return {};
}

QString LanguageResources::CommandPrompt(int commandId)
{
    const auto& commands = Current().commands;
    const auto found = commands.find(commandId);
    return found == commands.end() ? QString() : found->second.first;
}

QString LanguageResources::CommandToolTip(int commandId)
{
    const auto& commands = Current().commands;
    const auto found = commands.find(commandId);
    return found == commands.end() ? QString() : found->second.second;
}

std::vector<MenuItemSpec> LanguageResources::Menu(int id)
{
    const auto& menus = Current().menus;
    const auto found = menus.find(id);
    return found == menus.end() ? std::vector<MenuItemSpec>() : found->second;
}

std::vector<ToolBarButtonSpec> LanguageResources::ToolBar(int id)
{
    const auto& toolBars = Current().toolBars;
    const auto found = toolBars.find(id);
    return found == toolBars.end() ? std::vector<ToolBarButtonSpec>() : found->second;
}

std::vector<AcceleratorSpec> LanguageResources::Accelerators() { return Current().accelerators; }

QIcon LanguageResources::Icon(int id) { return ToolBarIcon(QString::number(id)); }

QIcon LanguageResources::ToolBarIcon(const QString& iconName)
{
    // The tool bars name their icons by path already.
    const QString root = QLatin1Char(':') + Current().root;
    if (iconName.startsWith(root + QLatin1Char('/'))) return QIcon(iconName);
    const QString path = Current().root.isEmpty() ? QString() : IconPath(root, iconName);
    return path.isEmpty() ? QIcon() : QIcon(path);
}

std::unique_ptr<QWidget> LanguageResources::LoadDialog(int id, QWidget* parent)
{
    if (Current().root.isEmpty()) return nullptr;
    QFile file(QStringLiteral(":%1/dialogs/%2.ui").arg(Current().root).arg(id));
    if (!file.open(QIODevice::ReadOnly)) return nullptr;
    QUiLoader loader;
    return std::unique_ptr<QWidget>(loader.load(&file, parent));
}

}  // namespace qmx
