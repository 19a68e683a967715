// How own mode reaches the mind-mapping application: it is started as a
// local server in a process of its own and driven across the session bus.
#pragma once

#include <functional>

#include "automation/guid.h"
#include "automation/types.h"
#include "maphost/api/map_interfaces.h"

namespace qmx::mm {

inline constexpr CLSID kMapApplicationClsid = MakeGuid("{6C22125D-5AA1-45A1-9C8B-8D285EF836DF}");

// Starts the mind-mapping application and hands out its application object.
using ApplicationLauncher = std::function<HRESULT(IMmApplication** ppApplication)>;

// Activates the application's class as a local server, by its ProgID
// ("MindManager.Application.5") or, where only the class is registered, by
// its class ID; a program that has not registered within `timeoutMs` fails
// the launch.
ApplicationLauncher LocalServerLauncher(int timeoutMs);
ApplicationLauncher LocalServerLauncher();

}  // namespace qmx::mm
