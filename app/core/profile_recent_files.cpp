#include "app/core/profile_recent_files.h"

#include <algorithm>

#include "automation/bstr.h"
#include "automation/file_name.h"
#include "automation/runtime/registry_store.h"

namespace qmx {
namespace {

std::string EntryName(std::size_t index) { return "File" + std::to_string(index + 1); }

}  // namespace

std::string RecentFileListKey(const std::u16string& profileName)
{
    std::string company = BstrToUtf8(profileName);
    // The name is a language resource: never let it reach other keys.
    std::replace(company.begin(), company.end(), '/', '_');
    if (company.empty()) company = "QMX";
    return "Software/" + company + "/QMXGanttDisplay/Recent File List";
}

ProfileRecentFiles::ProfileRecentFiles(RegistryStore* store, std::string key) : store_(store), key_(std::move(key))
{
    if (!store_) return;
    for (std::size_t i = 0; i < kRecentFileCount; ++i) {
        const auto value = store_->GetString(key_, EntryName(i));
        if (!value || value->empty()) continue;
        std::u16string name = FileNameToBstr(*value);
        if (std::find(files_.begin(), files_.end(), name) == files_.end()) files_.push_back(std::move(name));
    }
}

void ProfileRecentFiles::Remove(std::size_t index)
{
    if (index >= files_.size()) return;
    files_.erase(files_.begin() + static_cast<std::ptrdiff_t>(index));
    Save();
}

void ProfileRecentFiles::Add(const std::u16string& path)
{
    if (path.empty() || !BstrToFileName(path)) return;
    // File names on this system are case-sensitive: only an equal name is the same file.
    std::erase(files_, path);
    files_.insert(files_.begin(), path);
    if (files_.size() > kRecentFileCount) files_.resize(kRecentFileCount);
    Save();
}

void ProfileRecentFiles::Save()
{
    if (!store_) return;
    for (std::size_t i = 0; i < kRecentFileCount; ++i) {
        if (i < files_.size())
            store_->SetString(key_, EntryName(i), *BstrToFileName(files_[i]));
        else
            store_->DeleteValue(key_, EntryName(i));
    }
}

}  // namespace qmx
