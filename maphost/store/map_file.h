// The host's own map file (".mmap"): UTF-8 XML, one element per topic in
// the order of a walk from the central topic, each naming its parent, so
// that no depth of the map makes the file deep. docs/maphost.md shows an
// example.
#pragma once

#include <optional>
#include <string>

#include "automation/hresult.h"
#include "maphost/store/map_snapshot.h"

namespace qmx::map {

// Why a map file could not be read or written, for the user.
struct MapFileError {
    HRESULT hr = E_FAIL;
    std::string message;
};

// Reads the map file at path (the file system's bytes). Nothing on success.
std::optional<MapFileError> ReadMapFile(const std::string& path, MapSnapshot* snapshot);
// Reads a map file's content from memory.
std::optional<MapFileError> ReadMapBytes(std::string_view bytes, MapSnapshot* snapshot);

// Writes the snapshot (topics[0] the central topic) through the saver, so
// that the file holds either the old or the new map. Nothing on success.
std::optional<MapFileError> WriteMapFile(const std::string& path, const MapSnapshot& snapshot);
// The file's bytes.
std::optional<MapFileError> WriteMapBytes(const MapSnapshot& snapshot, std::string* bytes);

}  // namespace qmx::map
