// QMXMapHost: the stand-in mind-mapping application. Opens the maps named on
// the command line (or a new one), loads the add-ins registered to load at
// start and shows its window.
#include <QApplication>

#include "maphost/app/add_in_manager.h"
#include "maphost/app/host_prompts.h"
#include "maphost/app/map_host_window.h"

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QMXMapHost"));
    using namespace qmx::map;
    qmx::ComPtr<MapApplication> maps = qmx::MakeObject<MapApplication>();
    DialogPrompts prompts;
    auto addIns = std::make_unique<AddInManager>(maps.Get());
    AddInManager* loader = addIns.get();
    int status = 0;
    {
        MapHostWindow window(maps.Get(), &prompts, std::move(addIns));
        const QStringList files = QApplication::arguments().mid(1);
        for (const QString& file : files) {
            if (!file.startsWith(QLatin1Char('-'))) window.OpenMap(file);
        }
        if (maps->Documents().empty()) window.NewMap();
        loader->LoadAtStartup();
        window.show();
        status = QApplication::exec();
    }
    return status;
}
