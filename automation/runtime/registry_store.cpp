#include "automation/runtime/registry_store.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <memory>

#include "automation/bstr.h"

namespace qmx {

namespace {

// Every key carries this marker, so that a key without values still exists.
const QString kKeyMarker = QStringLiteral("@key");
// The default value of a key.
const QString kDefaultValue = QStringLiteral("@");
// Numbers are told from strings by this prefix, as in registry exports,
// with exactly eight hexadecimal digits.
const QString kNumberPrefix = QStringLiteral("dword:");
// A string that would read as something else is stored behind this prefix,
// escaped.
const QString kStringPrefix = QStringLiteral("sz:");

bool IsHexDigit(QChar c) { return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F'); }

// Whether `byte` at the start of a name must be escaped, or anywhere.
using EscapeRule = bool (*)(unsigned char byte, bool first);

// Escapes as %XX: '%' itself, what `rule` names, U+0000 and every byte that
// is not part of well-formed UTF-8 (QString could not hold it).
std::string Escape(const std::string& text, EscapeRule rule)
{
    std::string out;
    out.reserve(text.size());
    static constexpr char kHex[] = "0123456789ABCDEF";
    const auto escape = [&out](unsigned char byte) {
        out += '%';
        out += kHex[byte >> 4];
        out += kHex[byte & 15];
    };
    for (std::size_t i = 0; i < text.size();) {
        const Utf8Sequence sequence = DecodeUtf8(text, i);
        const auto byte = static_cast<unsigned char>(text[i]);
        if (!sequence.wellFormed) {
            escape(byte);
            ++i;
        } else if (sequence.length == 1 && (byte == '%' || byte == 0 || rule(byte, i == 0))) {
            escape(byte);
            ++i;
        } else {
            out.append(text, i, sequence.length);
            i += sequence.length;
        }
    }
    return out;
}

// The reverse of Escape; a '%' without two hexadecimal digits stays.
std::string Unescape(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    const auto digit = [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; };
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && digit(text[i + 1]) && digit(text[i + 2])) {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

// Names of keys and values: QSettings splits at '/' and '\\', and names
// starting with '@' are the store's own markers.
bool NameRule(unsigned char byte, bool first) { return byte == '/' || byte == '\\' || (first && byte == '@'); }
bool NoRule(unsigned char, bool) { return false; }

QString EncodeName(const std::string& name) { return QString::fromStdString(Escape(name, NameRule)); }
std::string DecodeName(const QString& name) { return Unescape(name.toStdString()); }

QString Group(const std::string& key)
{
    QStringList parts;
    for (std::size_t start = 0; start <= key.size();) {
        std::size_t end = key.find('/', start);
        if (end == std::string::npos) end = key.size();
        if (end > start) parts << EncodeName(key.substr(start, end - start));
        start = end + 1;
    }
    return parts.join(u'/');
}

QString ValueKey(const std::string& key, const std::string& name)
{
    const QString value = name.empty() ? kDefaultValue : EncodeName(name);
    const QString group = Group(key);
    return group.isEmpty() ? value : group + u'/' + value;
}

bool IsNumber(const QString& text)
{
    if (!text.startsWith(kNumberPrefix) || text.size() != kNumberPrefix.size() + 8) return false;
    for (qsizetype i = kNumberPrefix.size(); i < text.size(); ++i)
        if (!IsHexDigit(text[i])) return false;
    return true;
}

// A string as stored: as it is, unless it would read as a number or as an
// escaped string, or holds what QString cannot.
QString EncodeString(const std::string& value)
{
    const QString text = QString::fromStdString(value);
    // QString holds the string when it is well-formed UTF-8 without U+0000.
    const bool holds = value.find('\0') == std::string::npos && text.toStdString() == value;
    if (holds && !text.startsWith(kNumberPrefix) && !text.startsWith(kStringPrefix)) return text;
    return kStringPrefix + QString::fromStdString(Escape(value, NoRule));
}

std::optional<std::string> DecodeString(const QString& text)
{
    if (IsNumber(text)) return std::nullopt;
    if (text.startsWith(kStringPrefix)) return Unescape(text.mid(kStringPrefix.size()).toStdString());
    return text.toStdString();
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
    const QStringList names = group.split(u'/', Qt::SkipEmptyParts);  // encoded names hold no '/'
    QString path;
    for (const QString& name : names) {
        path = path.isEmpty() ? name : path + u'/' + name;
        settings.setValue(path + u'/' + kKeyMarker, QString());
    }
}

// The value as stored in the first of the files that has it.
std::optional<QVariant> Read(const std::string& user, const std::string& system, const std::string& key,
                             const std::string& name)
{
    const QString valueKey = ValueKey(key, name);
    for (const std::string* path : {&user, &system}) {
        if (path->empty()) continue;
        const QVariant value = Open(*path)->value(valueKey);
        if (value.isValid()) return value;
    }
    return std::nullopt;
}

}  // namespace

std::string RegistryStore::DefaultPath()
{
    if (const char* env = std::getenv("QMX_REGISTRY"); env && *env) return env;
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (base.isEmpty()) base = QDir::homePath() + QStringLiteral("/.config");
    return (base + QStringLiteral("/QMX/registry.ini")).toStdString();
}

std::string RegistryStore::DefaultSystemPath()
{
    if (const char* env = std::getenv("QMX_SYSTEM_REGISTRY"); env && *env) return env;
    QStringList dirs;
    if (const char* env = std::getenv("XDG_CONFIG_DIRS"); env && *env)
        dirs = QString::fromLocal8Bit(env).split(u':', Qt::SkipEmptyParts);
    // Relative entries are not meant by the base directory rules.
    dirs.removeIf([](const QString& dir) { return !dir.startsWith(u'/'); });
    if (dirs.isEmpty()) dirs << QStringLiteral("/etc/xdg");
    const QString name = QStringLiteral("/QMX/registry.ini");
    for (const QString& dir : dirs)
        if (QFileInfo::exists(dir + name)) return (dir + name).toStdString();
    return (dirs.front() + name).toStdString();
}

RegistryStore::RegistryStore() : path_(DefaultPath()), systemPath_(DefaultSystemPath())
{
    // A store opened on the system file itself (registering for every user)
    // has no second layer.
    if (systemPath_ == path_) systemPath_.clear();
}

RegistryStore::RegistryStore(std::string path) : path_(std::move(path)) {}

RegistryStore::RegistryStore(std::string path, std::string systemPath)
    : path_(std::move(path)), systemPath_(std::move(systemPath))
{
}

bool RegistryStore::KeyExists(const std::string& key) const
{
    const QString group = Group(key);
    if (group.isEmpty()) return true;
    if (Open(path_)->contains(group + u'/' + kKeyMarker)) return true;
    return !systemPath_.empty() && Open(systemPath_)->contains(group + u'/' + kKeyMarker);
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
    const QString group = Group(key);
    std::vector<std::string> result;
    for (const std::string* path : {&path_, &systemPath_}) {
        if (path->empty()) continue;
        auto settings = Open(*path);
        if (!group.isEmpty()) settings->beginGroup(group);
        for (const QString& name : settings->childGroups()) result.push_back(DecodeName(name));
    }
    std::sort(result.begin(), result.end());
    result.erase(std::unique(result.begin(), result.end()), result.end());
    return result;
}

std::optional<std::string> RegistryStore::GetString(const std::string& key, const std::string& name) const
{
    const std::optional<QVariant> value = Read(path_, systemPath_, key, name);
    if (!value) return std::nullopt;
    return DecodeString(value->toString());
}

std::optional<std::uint32_t> RegistryStore::GetNumber(const std::string& key, const std::string& name) const
{
    const std::optional<QVariant> value = Read(path_, systemPath_, key, name);
    if (!value) return std::nullopt;
    const QString text = value->toString();
    if (!IsNumber(text)) return std::nullopt;
    bool ok = false;
    const uint number = text.mid(kNumberPrefix.size()).toUInt(&ok, 16);
    if (!ok) return std::nullopt;
    return number;
}

bool RegistryStore::SetString(const std::string& key, const std::string& name, const std::string& value)
{
    auto settings = Open(path_);
    MarkKeyAndParents(*settings, Group(key));
    settings->setValue(ValueKey(key, name), EncodeString(value));
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
