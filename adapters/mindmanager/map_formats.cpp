#include "adapters/mindmanager/map_formats.h"

#include <algorithm>
#include <cmath>

#include "automation/bstr.h"
#include "automation/value_text.h"

namespace qmx::mm {

namespace {

constexpr char16_t kEntrySeparator = u';';
constexpr char16_t kFieldSeparator = u',';
constexpr char16_t kEscape = u'\\';

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

std::u16string_view Trim(std::u16string_view text)
{
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool IsEscapable(char16_t c) { return c == kEntrySeparator || c == kFieldSeparator || c == kEscape; }

// Splits text at the separators given, honouring "\x" escapes: the pieces
// come back unescaped. An escape is a backslash before ",", ";" or "\";
// any other backslash is an ordinary character.
template <class IsSeparator>
std::vector<BSTR> SplitEscaped(std::u16string_view text, IsSeparator isSeparator)
{
    std::vector<BSTR> pieces(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == kEscape && i + 1 < text.size() && IsEscapable(text[i + 1])) {
            pieces.back() += text[++i];
        } else if (isSeparator(c)) {
            pieces.emplace_back();
        } else {
            pieces.back() += c;
        }
    }
    return pieces;
}

// The entries of a list, raw (escapes kept), split at unescaped ";".
std::vector<std::u16string_view> Entries(std::u16string_view text)
{
    std::vector<std::u16string_view> entries;
    std::size_t begin = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] == kEscape && i + 1 < text.size() && IsEscapable(text[i + 1])) {
            ++i;
            continue;
        }
        if (i == text.size() || text[i] == kEntrySeparator) {
            if (i > begin) entries.push_back(text.substr(begin, i - begin));
            begin = i + 1;
        }
    }
    return entries;
}

// A name that would read back as itself is written as it is.
bool NeedsEscape(std::u16string_view name)
{
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == kEntrySeparator || name[i] == kFieldSeparator) return true;
        if (name[i] == kEscape && (i + 1 == name.size() || name[i + 1] == kEscape)) return true;
    }
    return false;
}

void AppendName(BSTR& out, std::u16string_view name)
{
    if (!NeedsEscape(name)) {
        out += name;
        return;
    }
    for (char16_t c : name) {
        if (IsEscapable(c)) out += kEscape;
        out += c;
    }
}

void AppendInteger(BSTR& out, LONG value) { out += Utf8ToBstr(std::to_string(value)); }

}  // namespace

std::vector<LinkEntry> ParseLinks(std::u16string_view text)
{
    std::vector<LinkEntry> links;
    for (std::u16string_view entry : Entries(text)) {
        const std::size_t comma = entry.find(kFieldSeparator);
        const std::u16string_view guid = Trim(entry.substr(0, comma));
        if (guid.empty() || std::any_of(guid.begin(), guid.end(), [](char16_t c) { return c < u' '; })) continue;
        LinkEntry link{BSTR(guid), dtFinishToStart};
        if (comma != std::u16string_view::npos) {
            const auto type = ParseInteger(entry.substr(comma + 1));
            if (type && *type >= dtStartToStart && *type <= dtFinishToFinish) link.type = QMXDependencyType(*type);
        }
        links.push_back(std::move(link));
    }
    return links;
}

BSTR FormatLinks(const std::vector<LinkEntry>& links)
{
    BSTR out;
    for (const LinkEntry& link : links) {
        if (!out.empty()) out += kEntrySeparator;
        out += link.guid;
        out += kFieldSeparator;
        AppendInteger(out, link.type);
    }
    return out;
}

std::vector<LoadEntry> ParseLoads(std::u16string_view text)
{
    std::vector<LoadEntry> loads;
    for (std::u16string_view entry : Entries(text)) {
        const std::size_t comma = entry.find(kFieldSeparator);
        if (comma == std::u16string_view::npos) continue;
        const auto id = ParseInteger(entry.substr(0, comma));
        const auto units = ParseInteger(entry.substr(comma + 1));
        if (!id || !units || *units < 0) continue;
        loads.push_back({*id, *units});
    }
    return loads;
}

BSTR FormatLoads(const std::vector<LoadEntry>& loads)
{
    BSTR out;
    for (const LoadEntry& load : loads) {
        if (!out.empty()) out += kEntrySeparator;
        AppendInteger(out, load.resourceId);
        out += kFieldSeparator;
        AppendInteger(out, load.units);
    }
    return out;
}

std::vector<PoolEntry> ParsePool(std::u16string_view text)
{
    std::vector<PoolEntry> pool;
    for (std::u16string_view entry : Entries(text)) {
        const std::size_t first = entry.find(kFieldSeparator);
        if (first == std::u16string_view::npos) continue;
        const auto id = ParseInteger(entry.substr(0, first));
        if (!id) continue;
        // The name runs to the next unescaped comma.
        const std::u16string_view rest = entry.substr(first + 1);
        std::size_t second = std::u16string_view::npos;
        for (std::size_t i = 0; i < rest.size(); ++i) {
            if (rest[i] == kEscape && i + 1 < rest.size() && IsEscapable(rest[i + 1])) {
                ++i;
            } else if (rest[i] == kFieldSeparator) {
                second = i;
                break;
            }
        }
        if (second == std::u16string_view::npos) continue;
        std::vector<BSTR> name = SplitEscaped(rest.substr(0, second), [](char16_t) { return false; });
        const bool used = second + 1 < rest.size() && rest[second + 1] == u'1';
        pool.push_back({*id, std::move(name.front()), used});
    }
    return pool;
}

BSTR FormatPool(const std::vector<PoolEntry>& pool)
{
    BSTR out;
    for (const PoolEntry& entry : pool) {
        if (!out.empty()) out += kEntrySeparator;
        AppendInteger(out, entry.id);
        out += kFieldSeparator;
        AppendName(out, entry.name);
        out += kFieldSeparator;
        out += entry.used ? u'1' : u'0';
    }
    return out;
}

std::vector<BSTR> ParseResourceNames(std::u16string_view text)
{
    std::vector<BSTR> names;
    for (BSTR& piece : SplitEscaped(text, [](char16_t c) { return c == kEntrySeparator || c == kFieldSeparator; })) {
        const std::u16string_view name = Trim(piece);
        if (!name.empty()) names.emplace_back(name);
    }
    return names;
}

BSTR FormatResourceNames(const std::vector<BSTR>& names)
{
    BSTR out;
    for (const BSTR& name : names) {
        if (!out.empty()) out += kEntrySeparator;
        AppendName(out, name);
    }
    return out;
}

BSTR FormatMapBoolean(bool value) { return value ? u"true" : u"false"; }

QMXPriority PriorityFromMap(LONG mapPriority)
{
    if (mapPriority <= 0) return prNone;
    switch (mapPriority) {
    case 1: return prHigh;
    case 2: return prNormal;
    default: return prLow;
    }
}

std::optional<LONG> PriorityToMap(QMXPriority priority, LONG currentMapPriority)
{
    switch (priority) {
    case prNone: return 0;
    case prHigh: return 1;
    case prNormal: return 2;
    case prLow: break;
    }
    if (currentMapPriority >= 4) return std::nullopt;
    return 3;
}

float DaysFromHours(double hours)
{
    if (!std::isfinite(hours) || hours <= 0) return 0.0f;
    return static_cast<float>(hours / 8.0);
}

double HoursFromDays(float days)
{
    if (!std::isfinite(days) || days <= 0) return 0.0;
    return std::ceil(static_cast<double>(days) * 8.0);
}

QMXDurationUnit UnitFromMap(LONG code)
{
    switch (code) {
    case 1: return duHour;
    case 3: return duWeek;
    default: return duDay;
    }
}

LONG UnitToMap(QMXDurationUnit unit, float days)
{
    const bool wholeDays = std::isfinite(days) && std::floor(days) == days;
    switch (unit) {
    case duHour: return 1;
    case duDay: return wholeDays ? 2 : 1;
    case duWeek:
        if (wholeDays && std::fmod(days, 5.0f) == 0.0f) return 3;
        return wholeDays ? 2 : 1;
    }
    return 2;
}

std::optional<DWORD> FillFromColor(COLORREF color)
{
    if (color == kNoTaskColor) return std::nullopt;
    return 0xFF000000u | (DWORD(GetRValue(color)) << 16) | (DWORD(GetGValue(color)) << 8) | DWORD(GetBValue(color));
}

COLORREF ColorFromFill(std::optional<DWORD> fill)
{
    if (!fill) return kNoTaskColor;
    return RGB(std::uint8_t((*fill >> 16) & 0xFF), std::uint8_t((*fill >> 8) & 0xFF), std::uint8_t(*fill & 0xFF));
}

COLORREF ColorFromAttribute(std::u16string_view text) { return ParseColor(text).value_or(kNoTaskColor); }

BSTR ColorToAttribute(COLORREF color)
{
    if (color == kNoTaskColor) return {};
    return Utf8ToBstr(FormatColor(color));
}

}  // namespace qmx::mm
