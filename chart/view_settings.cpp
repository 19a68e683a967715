#include "chart/view_settings.h"

#include <cstdio>
#include <string>
#include <vector>

#include "automation/bstr.h"
#include "automation/value_text.h"

namespace qmx {

namespace {

constexpr std::size_t kFieldCount = 7;

// The non-empty fields between commas, at most kFieldCount of them.
std::vector<std::u16string_view> SplitFields(std::u16string_view text)
{
    std::vector<std::u16string_view> fields;
    std::size_t start = 0;
    while (start <= text.size() && fields.size() < kFieldCount) {
        std::size_t comma = text.find(u',', start);
        if (comma == std::u16string_view::npos) comma = text.size();
        if (comma > start) fields.push_back(text.substr(start, comma - start));
        start = comma + 1;
    }
    return fields;
}

}  // namespace

BSTR FormatViewSettings(const ViewSettings& settings)
{
    char head[32];
    std::snprintf(head, sizeof head, "%d,%d,", int(settings.periodType), int(settings.periodCount));
    char tail[64];
    std::snprintf(tail, sizeof tail, ",%d,%d,%d,%d", int(settings.scroll.minimum), int(settings.scroll.maximum),
                  int(settings.scroll.page), int(settings.scroll.position));
    return Utf8ToBstr(head + FormatDate(settings.startDate) + tail);
}

std::optional<ViewSettings> ParseViewSettings(std::u16string_view text)
{
    const std::vector<std::u16string_view> fields = SplitFields(text);
    if (fields.size() < kFieldCount) return std::nullopt;

    LONG numbers[kFieldCount] = {};
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        if (i == 2) continue;
        const auto value = ParseInteger(fields[i]);
        if (!value) return std::nullopt;
        numbers[i] = *value;
    }
    const auto start = ParseDate(fields[2]);
    if (!start) return std::nullopt;

    ViewSettings settings;
    settings.periodType = numbers[0];
    settings.periodCount = numbers[1];
    settings.startDate = *start;
    settings.scroll = ScrollState{numbers[3], numbers[4], numbers[5], numbers[6]};
    return settings;
}

}  // namespace qmx
