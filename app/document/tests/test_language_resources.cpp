// The language resources as the application object's tests see them: the
// strings it uses, each naming its ID so that a test sees which was shown.
#include <map>

#include <QWidget>

#include "app/language_resources.h"

namespace qmx {

QString LanguageResources::String(int id)
{
    static const std::map<int, QString> strings = {
        {131, QStringLiteral("M131 %s\\%s")},
        {132, QStringLiteral("M132 %s")},
        {133, QStringLiteral("M133")},
        {140, QStringLiteral("M140")},
        {141, QStringLiteral("M141")},
        {142, QStringLiteral("M142")},
        {143, QStringLiteral("New task")},
        {156, QStringLiteral("New resource")},
        {158, QStringLiteral("application/x-qmxgantt-tasks")},
        {159, QStringLiteral("application/x-qmxgantt-resource")},
        {160, QStringLiteral("M160")},
        {173, QStringLiteral("M173")},
    };
    const auto found = strings.find(id);
    return found == strings.end() ? QString() : found->second;
}

std::unique_ptr<QWidget> LanguageResources::LoadDialog(int, QWidget*) { return nullptr; }

}  // namespace qmx
