#include "automation/runtime/registry_store.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <cstdlib>
#include <memory>

namespace qmx {

namespace {

// Every key carries this marker, so that a key without values still exists.
const QString kKeyMarker = QStringLiteral("@key");
// The default value of a key.
const QString kDefaultValue = QStringLiteral("@");
// Numbers are told from strings by this prefix, as in registry exports.
const QString kNumberPrefix = QStringLiteral("dword:");

QString Group(const std::string& key)
{
    QString group = QString::fromStdString(key);
    while (group.endsWith(u'/')) group.chop(1);
    while (group.startsWith(u'/')) group.remove(0, 1);
    return group;
}

QString ValueKey(const std::string& key, const std::string& name)
{
    const QString value = name.empty() ? kDefaultValue : QString::fromStdString(name);
    const QString group = Group(key);
    return group.isEmpty() ? value : group + u'/' + value;
}

std::unique_ptr<QSettings> Open(const std::string& path)
{
    return std::make_unique<QSettings>(QString::fromStdString(path), QSettings::IniFormat);
}

bool Commit(QSettings& settings)
{
    settings.sync();
    return settings.status() == QSettings::NoError;
}

void MarkKeyAndParents(QSettings& settings, const QString& group)
{
    const QStringList names = group.split(u'/', Qt::SkipEmptyParts);
    QString path;
    for (const QString& name : names) {
        path = path.isEmpty() ? name : path + u'/' + name;
        settings.setValue(path + u'/' + kKeyMarker, QString());
    }
}

}  // namespace

std::string RegistryStore::DefaultPath()
{
    if (const char* env = std::getenv("QMX_REGISTRY"); env && *env) return env;
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (base.isEmpty()) base = QDir::homePath() + QStringLiteral("/.config");
    return (base + QStringLiteral("/QMX/registry.ini")).toStdString();
}

RegistryStore::RegistryStore() : path_(DefaultPath()) {}

RegistryStore::RegistryStore(std::string path) : path_(std::move(path)) {}

bool RegistryStore::KeyExists(const std::string& key) const
{
    const QString group = Group(key);
    if (group.isEmpty()) return true;
    return Open(path_)->contains(group + u'/' + kKeyMarker);
}

bool RegistryStore::CreateKey(const std::string& key)
{
    auto settings = Open(path_);
    MarkKeyAndParents(*settings, Group(key));
    return Commit(*settings);
}

bool RegistryStore::DeleteKey(const std::string& key)
{
    const QString group = Group(key);
    if (group.isEmpty()) return false;
    auto settings = Open(path_);
    if (!settings->contains(group + u'/' + kKeyMarker)) return false;
    settings->remove(group);
    return Commit(*settings);
}

std::vector<std::string> RegistryStore::SubKeys(const std::string& key) const
{
    auto settings = Open(path_);
    const QString group = Group(key);
    if (!group.isEmpty()) settings->beginGroup(group);
    QStringList names = settings->childGroups();
    names.sort();
    std::vector<std::string> result;
    result.reserve(names.size());
    for (const QString& name : names) result.push_back(name.toStdString());
    return result;
}

std::optional<std::string> RegistryStore::GetString(const std::string& key, const std::string& name) const
{
    const QVariant value = Open(path_)->value(ValueKey(key, name));
    if (!value.isValid()) return std::nullopt;
    const QString text = value.toString();
    if (text.startsWith(kNumberPrefix)) return std::nullopt;
    return text.toStdString();
}

std::optional<std::uint32_t> RegistryStore::GetNumber(const std::string& key, const std::string& name) const
{
    const QVariant value = Open(path_)->value(ValueKey(key, name));
    const QString text = value.toString();
    if (!text.startsWith(kNumberPrefix)) return std::nullopt;
    bool ok = false;
    const uint number = text.mid(kNumberPrefix.size()).toUInt(&ok, 16);
    if (!ok) return std::nullopt;
    return number;
}

bool RegistryStore::SetString(const std::string& key, const std::string& name, const std::string& value)
{
    auto settings = Open(path_);
    MarkKeyAndParents(*settings, Group(key));
    settings->setValue(ValueKey(key, name), QString::fromStdString(value));
    return Commit(*settings);
}

bool RegistryStore::SetNumber(const std::string& key, const std::string& name, std::uint32_t value)
{
    auto settings = Open(path_);
    MarkKeyAndParents(*settings, Group(key));
    settings->setValue(ValueKey(key, name), kNumberPrefix + QStringLiteral("%1").arg(value, 8, 16, QChar(u'0')));
    return Commit(*settings);
}

bool RegistryStore::DeleteValue(const std::string& key, const std::string& name)
{
    auto settings = Open(path_);
    const QString valueKey = ValueKey(key, name);
    if (!settings->contains(valueKey)) return false;
    settings->remove(valueKey);
    return Commit(*settings);
}

}  // namespace qmx
