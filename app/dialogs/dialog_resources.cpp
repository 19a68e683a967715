#include "app/dialogs/dialog_resources.h"

#include "app/language_resources.h"

namespace qmx {

BSTR ResourceString(int id)
{
    return LanguageResources::String(id).toStdU16String();
}

DurationUnitNames UnitNames()
{
    return {ResourceString(kFirstUnitName), ResourceString(kFirstUnitName + 1), ResourceString(kFirstUnitName + 2)};
}

BSTR LinkTypeName(LONG type)
{
    if (type < dtStartToStart || type > dtFinishToFinish) return BSTR();
    return ResourceString(kFirstLinkTypeName + type);
}

std::unique_ptr<QWidget> LoadLayout(int id, QWidget* parent)
{
    return LanguageResources::LoadDialog(id, parent);
}

}  // namespace qmx
