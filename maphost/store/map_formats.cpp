#include "maphost/store/map_formats.h"

#include <algorithm>
#include <cctype>

#include "maphost/store/freemind_file.h"

namespace qmx::map {

bool IsFreeMindFile(const std::string& path)
{
    if (path.size() < 3) return false;
    std::string tail = path.substr(path.size() - 3);
    std::transform(tail.begin(), tail.end(), tail.begin(), [](unsigned char c) { return std::tolower(c); });
    return tail == ".mm";
}

std::optional<MapFileError> ReadMapAnyFormat(const std::string& path, MapSnapshot* snapshot)
{
    if (IsFreeMindFile(path)) return ReadFreeMindFile(path, snapshot);
    return ReadMapFile(path, snapshot);
}

std::optional<MapFileError> WriteMapAnyFormat(const std::string& path, const MapSnapshot& snapshot)
{
    if (IsFreeMindFile(path)) return WriteFreeMindFile(path, snapshot);
    return WriteMapFile(path, snapshot);
}

}  // namespace qmx::map
