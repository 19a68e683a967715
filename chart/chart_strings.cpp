#include "chart/chart_strings.h"

#include <algorithm>
#include <iterator>

#include <QDate>
#include <QLocale>

#include "automation/date_time.h"

namespace qmx {

namespace {

struct StringEntry {
    int id;
    const char* text;  // UTF-8
};

// Sorted by ID.
constexpr StringEntry kStrings[] = {
    {101, "Week"},
    {102, "Mon"}, {103, "Tue"}, {104, "Wed"}, {105, "Thu"}, {106, "Fri"}, {107, "Sat"}, {108, "Sun"},
    {109, "M"}, {110, "T"}, {111, "W"}, {112, "T"}, {113, "F"}, {114, "S"}, {115, "S"},
    {116, "Jan"}, {117, "Feb"}, {118, "Mar"}, {119, "Apr"}, {120, "May"}, {121, "Jun"},
    {122, "Jul"}, {123, "Aug"}, {124, "Sep"}, {125, "Oct"}, {126, "Nov"}, {127, "Dec"},
    {128, "J"}, {129, "F"}, {130, "M"}, {131, "A"}, {132, "M"}, {133, "J"},
    {134, "J"}, {135, "A"}, {136, "S"}, {137, "O"}, {138, "N"}, {139, "D"},
    {140, "Tasks"},
    {141, "Resources"},
    {142, "ID"},
    {143, "Name"},
};

static_assert(std::is_sorted(std::begin(kStrings), std::end(kStrings),
                             [](const StringEntry& a, const StringEntry& b) { return a.id < b.id; }));

}  // namespace

QString LoadChartString(int id)
{
    const auto it = std::lower_bound(std::begin(kStrings), std::end(kStrings), id,
                                     [](const StringEntry& e, int wanted) { return e.id < wanted; });
    if (it == std::end(kStrings) || it->id != id) return {};
    return QString::fromUtf8(it->text);
}

QString LocaleDateText(DATE date)
{
    const CivilDate day = CivilFromDate(date);
    return QLocale().toString(QDate(day.year, day.month, day.day), QLocale::ShortFormat);
}

}  // namespace qmx
