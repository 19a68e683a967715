// The registry store: keys, sub-keys and values kept in an INI file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qmx {

// Key paths use "/" between names, as in "SOFTWARE/QMX/QMXGanttDisplay".
// A value name of "" is the key's default value. A missing or unreadable
// file reads as an empty store; a write that cannot be stored answers false
// and shows nothing to the user.
//
// A store may read a second, system-wide file under the user's one, as the
// machine-wide keys serve every user: a value or key in the user's file wins,
// SubKeys lists the keys of both, and every write and delete goes to the
// user's file alone. The system file is only ever written by opening it as
// the (single) file of a store.
class RegistryStore {
public:
    // $QMX_REGISTRY when set, else registry.ini under the user's XDG config
    // folder (~/.config/QMX/registry.ini).
    static std::string DefaultPath();
    // $QMX_SYSTEM_REGISTRY when set, else the first QMX/registry.ini that
    // exists under the folders of $XDG_CONFIG_DIRS (default /etc/xdg), else
    // QMX/registry.ini under the first of them: where installed components
    // are registered for every user.
    static std::string DefaultSystemPath();

    // The user's store over the system store.
    RegistryStore();
    // One file alone.
    explicit RegistryStore(std::string path);
    // `path` over `systemPath`; an empty `systemPath` is none.
    RegistryStore(std::string path, std::string systemPath);

    const std::string& Path() const { return path_; }
    const std::string& SystemPath() const { return systemPath_; }

    bool KeyExists(const std::string& key) const;
    // Creates the key and its missing parents; an existing key is kept.
    bool CreateKey(const std::string& key);
    // Deletes the key with all its values and sub-keys.
    bool DeleteKey(const std::string& key);

    // The names of the direct sub-keys, in a stable (sorted) order.
    std::vector<std::string> SubKeys(const std::string& key) const;

    std::optional<std::string> GetString(const std::string& key, const std::string& name = {}) const;
    std::optional<std::uint32_t> GetNumber(const std::string& key, const std::string& name) const;
    // Setting a value creates its key.
    bool SetString(const std::string& key, const std::string& name, const std::string& value);
    bool SetNumber(const std::string& key, const std::string& name, std::uint32_t value);
    bool DeleteValue(const std::string& key, const std::string& name);

private:
    std::string path_;
    std::string systemPath_;
};

}  // namespace qmx
