// The most-recently-used file list of the user's profile: at most five
// absolute file names, most recent first, kept in the registry store as the
// values "File1" to "File5" of a "Recent File List" key.
#pragma once

#include <string>
#include <vector>

#include "app/frame/main_frame_factory.h"

namespace qmx {

class RegistryStore;

inline constexpr std::size_t kRecentFileCount = 5;

// "Software/<company>/QMXGanttDisplay/Recent File List": the profile key of
// the program under the name that string 139 gives.
std::string RecentFileListKey(const std::u16string& profileName);

class ProfileRecentFiles final : public RecentFileList {
public:
    // Reads the list; gaps and names that are no file names are dropped.
    // A store of null keeps the list in memory only.
    ProfileRecentFiles(RegistryStore* store, std::string key);

    std::vector<std::u16string> Files() const override { return files_; }
    // Out-of-range indexes change nothing.
    void Remove(std::size_t index) override;
    // Puts the name first, dropping an equal entry further down and the
    // oldest beyond five. An empty name changes nothing.
    void Add(const std::u16string& path);

private:
    void Save();

    RegistryStore* store_;
    std::string key_;
    std::vector<std::u16string> files_;
};

}  // namespace qmx
