// The language resources as the main window's tests see them: the menus,
// tool bars and accelerators of both modes and the strings the window shows.
#include <map>

#include <QFile>
#include <QUiLoader>
#include <QWidget>

#include "app/language_resources.h"

namespace qmx {

namespace {

MenuItemSpec Item(const char* text, int commandId) { return {QString::fromLatin1(text), commandId, {}}; }
MenuItemSpec Separator() { return {}; }
MenuItemSpec Sub(const char* text, std::vector<MenuItemSpec> children)
{
    return {QString::fromLatin1(text), 0, std::move(children)};
}

MenuItemSpec EditMenu()
{
    return Sub("&Edit", {Item("Cu&t", 57635), Item("&Copy", 57634), Item("&Paste", 57637), Separator(),
                         Item("&New Task", 40010), Item("&Delete Tasks", 40011), Item("Task &Properties", 40012),
                         Item("Task Co&lour", 40013), Separator(), Item("Move &Up", 40014),
                         Item("Move Do&wn", 40015), Item("&Indent", 40016), Item("&Outdent", 40017),
                         Item("&Link", 40018), Item("U&nlink", 40019), Separator(), Item("New &Resource", 40020),
                         Item("Delete R&esource", 40021), Item("Resource Propert&ies", 40022)});
}

MenuItemSpec ViewMenu()
{
    return Sub("&View", {Item("&Tasks", 107), Item("&Resources", 108), Separator(), Item("Task Tree Pane", 135),
                         Item("Timeline Pane", 136), Item("Chart Pane", 137), Separator(), Item("Zoom &In", 102),
                         Item("Zoom &Out", 103), Separator(), Item("&Autocorrect Task Dates", 119),
                         Item("&Match Colours", 124)});
}

MenuItemSpec HelpMenu() { return Sub("&Help", {Item("&Help Topics", 126), Item("&About QMXGantt...", 57664)}); }

}  // namespace

QString LanguageResources::String(int id)
{
    static const std::map<int, QString> strings = {
        {128, QStringLiteral("QMXGantt")},
        {129, QStringLiteral("Standard")},
        {130, QStringLiteral("The chart control cannot be created.")},
        {165, QStringLiteral("frame-test-help.html")},
        {57603, QStringLiteral("Save the active document\nSave")},
        {60000, QStringLiteral("MOD")},
    };
    const auto found = strings.find(id);
    return found == strings.end() ? QString() : found->second;
}

std::vector<MenuItemSpec> LanguageResources::Menu(int id)
{
    switch (id) {
    case 128:
        return {Sub("&File", {Item("&New", 57600), Item("&Open...", 57601), Item("&Close", 57602),
                              Item("&Save", 57603), Item("Save &As...", 40003), Separator(),
                              Item("&Document Properties...", 40006), Separator(), Item("&Print...", 57607),
                              Item("Print Pre&view", 57609), Separator(), Item("Recent File", 57616), Separator(),
                              Item("E&xit", 57665)}),
                EditMenu(), ViewMenu(), HelpMenu()};
    case 129:
        return {Sub("&File", {Item("&Export...", 125), Item("&Refresh", 130), Separator(), Item("&Print...", 57607),
                              Item("Print Pre&view", 57609), Separator(), Item("&Close", 57665)}),
                EditMenu(), ViewMenu(), HelpMenu()};
    case 4:
        return {Sub("Tasks", {Item("&New Task", 40010), Item("&Delete", 40011), Item("&Properties", 40012)}),
                Sub("Resources", {Item("&New Resource", 40020), Item("&Delete", 40021)})};
    default:
        return {};
    }
}

std::vector<ToolBarButtonSpec> LanguageResources::ToolBar(int id)
{
    if (id == 128) return {{57600, {}}, {57601, {}}, {57603, {}}, {0, {}}, {40010, {}}, {102, {}}, {103, {}}};
    if (id == 129) return {{125, {}}, {130, {}}, {0, {}}, {40010, {}}};
    return {};
}

std::vector<AcceleratorSpec> LanguageResources::Accelerators()
{
    return {{QKeySequence(Qt::CTRL | Qt::Key_S), 57603}, {QKeySequence(Qt::Key_Insert), 40010},
            {QKeySequence(Qt::CTRL | Qt::Key_N), 57600}};
}

QIcon LanguageResources::Icon(int) { return {}; }

std::unique_ptr<QWidget> LanguageResources::LoadDialog(int id, QWidget* parent)
{
    QFile file(QStringLiteral(QMX_DIALOG_LAYOUTS "/%1.ui").arg(id));
    if (!file.open(QIODevice::ReadOnly)) return nullptr;
    QUiLoader loader;
    return std::unique_ptr<QWidget>(loader.load(&file, parent));
}

}  // namespace qmx
