// The map file formats by extension: the host's own (".mmap", and any
// other name) and FreeMind/Freeplane maps (".mm").
#pragma once

#include <optional>
#include <string>

#include "maphost/store/map_file.h"

namespace qmx::map {

bool IsFreeMindFile(const std::string& path);

std::optional<MapFileError> ReadMapAnyFormat(const std::string& path, MapSnapshot* snapshot);
std::optional<MapFileError> WriteMapAnyFormat(const std::string& path, const MapSnapshot& snapshot);

}  // namespace qmx::map
