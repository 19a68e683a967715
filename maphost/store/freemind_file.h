// FreeMind and Freeplane maps (".mm"): nested node elements with their
// text, folding and background colour. A topic's GUID is its node ID
// ("ID_" and the 32 hex digits); the task information, the flags and the
// namespaced attributes travel as node attributes (names in kTaskPrefix and
// "{namespace}name"), so that they come back when the map is opened again.
#pragma once

#include <optional>
#include <string>

#include "maphost/store/map_file.h"

namespace qmx::map {

// The deepest nesting of nodes the XML reader accepts below the map
// element, with room for a node's attribute elements.
inline constexpr int kMaxFreeMindDepth = 250;

std::optional<MapFileError> ReadFreeMindBytes(std::string_view bytes, MapSnapshot* snapshot);
std::optional<MapFileError> ReadFreeMindFile(const std::string& path, MapSnapshot* snapshot);
std::optional<MapFileError> WriteFreeMindBytes(const MapSnapshot& snapshot, std::string* bytes);
std::optional<MapFileError> WriteFreeMindFile(const std::string& path, const MapSnapshot& snapshot);

}  // namespace qmx::map
