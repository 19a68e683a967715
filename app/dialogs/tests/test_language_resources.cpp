// The language resources as the dialog tests see them: the strings the
// dialogs use, and the layouts read from the source folder.
#include <map>

#include <QFile>
#include <QWidget>
#include <QUiLoader>

#include "app/language_resources.h"

namespace qmx {

QString LanguageResources::String(int id)
{
    static const std::map<int, QString> strings = {
        {144, QStringLiteral("Task Properties")},
        {151, QStringLiteral("The end date must not be before the start date.")},
        {152, QStringLiteral("Start-to-start")},
        {153, QStringLiteral("Start-to-finish")},
        {154, QStringLiteral("Finish-to-start")},
        {155, QStringLiteral("Finish-to-finish")},
        {161, QStringLiteral("hours")},
        {162, QStringLiteral("days")},
        {163, QStringLiteral("weeks")},
        {164, QStringLiteral("The duration is not valid.")},
    };
    const auto found = strings.find(id);
    return found == strings.end() ? QString() : found->second;
}

std::unique_ptr<QWidget> LanguageResources::LoadDialog(int id, QWidget* parent)
{
    QFile file(QStringLiteral(QMX_DIALOG_LAYOUTS "/%1.ui").arg(id));
    if (!file.open(QIODevice::ReadOnly)) return nullptr;
    QUiLoader loader;
    return std::unique_ptr<QWidget>(loader.load(&file, parent));
}

}  // namespace qmx
