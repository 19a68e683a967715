#include <map>
#include <memory>

#include "automation/remoting/interface_face.h"

namespace qmx::remoting {

namespace {

struct Registry {
    std::map<IID, std::unique_ptr<InterfaceInfo>> byIid;
    std::map<QString, const InterfaceInfo*> byName;
};

Registry& TheRegistry()
{
    static Registry registry;
    return registry;
}

}  // namespace

const InterfaceInfo* RegisterInterfaceInfo(InterfaceInfo info)
{
    Registry& registry = TheRegistry();
    auto it = registry.byIid.find(info.iid);
    if (it != registry.byIid.end()) return it->second.get();
    auto stored = std::make_unique<InterfaceInfo>(std::move(info));
    const InterfaceInfo* result = stored.get();
    registry.byName.emplace(result->dbusName, result);
    registry.byIid.emplace(result->iid, std::move(stored));
    return result;
}

const InterfaceInfo* FindInterface(REFIID iid)
{
    const Registry& registry = TheRegistry();
    auto it = registry.byIid.find(iid);
    return it == registry.byIid.end() ? nullptr : it->second.get();
}

const InterfaceInfo* FindInterface(const QString& dbusName)
{
    const Registry& registry = TheRegistry();
    auto it = registry.byName.find(dbusName);
    return it == registry.byName.end() ? nullptr : it->second;
}

}  // namespace qmx::remoting
