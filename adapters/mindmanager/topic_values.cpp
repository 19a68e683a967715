#include "adapters/mindmanager/topic_values.h"

#include <cmath>

#include "adapters/mindmanager/map_formats.h"
#include "automation/value_text.h"

namespace qmx::mm {

namespace {

ComPtr<IMmAttributes> AttributesOf(IMmTopic* topic)
{
    ComPtr<IMmAttributes> attributes;
    if (topic && FAILED(topic->get_Attributes(kAttributeNamespace, attributes.ReleaseAndGetAddressOf())))
        attributes = nullptr;
    return attributes;
}

}  // namespace

BSTR GetAttribute(IMmTopic* topic, const char16_t* name)
{
    BSTR value;
    if (const auto attributes = AttributesOf(topic)) {
        if (FAILED(attributes->GetAttributeValue(name, &value))) value.clear();
    }
    return value;
}

TopicParts PartsOf(IMmTopic* topic)
{
    TopicParts parts;
    if (!topic) return parts;
    if (FAILED(topic->get_TaskInfo(parts.info.ReleaseAndGetAddressOf()))) parts.info = nullptr;
    parts.attributes = AttributesOf(topic);
    return parts;
}

BSTR GetAttribute(const TopicParts& parts, const char16_t* name)
{
    BSTR value;
    if (parts.attributes && FAILED(parts.attributes->GetAttributeValue(name, &value))) value.clear();
    return value;
}

HRESULT SetAttribute(const TopicParts& parts, const char16_t* name, const BSTR& value)
{
    if (!parts.attributes) return E_FAIL;
    return parts.attributes->SetAttributeValue(name, value);
}

HRESULT SetAttribute(IMmTopic* topic, const char16_t* name, const BSTR& value)
{
    ComPtr<IMmAttributes> attributes;
    if (!topic) return E_POINTER;
    if (const HRESULT hr = topic->get_Attributes(kAttributeNamespace, attributes.ReleaseAndGetAddressOf());
        FAILED(hr))
        return hr;
    if (!attributes) return E_FAIL;
    return attributes->SetAttributeValue(name, value);
}

COLORREF TopicColor(IMmTopic* topic)
{
    // The fill answers S_FALSE when the topic has none: one call tells both.
    DWORD fill = 0;
    if (topic->get_FillColor(&fill) != S_OK) return kNoTaskColor;
    return ColorFromFill(fill);
}

HRESULT SetTopicColor(IMmTopic* topic, COLORREF color)
{
    if (const auto fill = FillFromColor(color)) return topic->put_FillColor(*fill);
    return topic->ClearFillColor();
}

TopicValues ReadTopicValues(IMmTopic* topic, bool matchColors)
{
    return ReadTopicValues(topic, PartsOf(topic), matchColors);
}

TopicValues ReadTopicValues(IMmTopic* topic, const TopicParts& parts, bool matchColors)
{
    return ValuesFromRecord(ReadTopicRecord(topic, parts, matchColors), matchColors);
}

std::vector<BSTR> LoadedAttributeNames()
{
    std::vector<BSTR> names(kLoadedAttributeCount);
    names[kGuidCopyValue] = kGuidCopy;
    names[kIsMilestoneValue] = kIsMilestone;
    names[kColorValue] = kColor;
    names[kTaskResourcesValue] = kTaskResources;
    names[kPredecessorsValue] = kPredecessors;
    return names;
}

map::TopicRecord ReadTopicRecord(IMmTopic* topic, const TopicParts& parts, bool matchColors)
{
    map::TopicRecord record;
    record.attributes.resize(kLoadedAttributeCount);
    if (FAILED(topic->get_Text(&record.text))) record.text.clear();
    // Each value is taken only from a call that succeeded.
    auto read = [](auto& field, auto getter) {
        auto value = field;
        if (SUCCEEDED(getter(&value))) field = value;
    };
    if (IMmTaskInfo* info = parts.info.Get()) {
        read(record.priority, [info](LONG* p) { return info->get_Priority(p); });
        read(record.start, [info](DATE* p) { return info->get_StartDate(p); });
        read(record.due, [info](DATE* p) { return info->get_DueDate(p); });
        read(record.durationHours, [info](double* p) { return info->get_DurationHours(p); });
        read(record.durationUnit, [info](LONG* p) { return info->get_DurationUnit(p); });
        read(record.percentComplete, [info](LONG* p) { return info->get_PercentComplete(p); });
    }
    record.attributes[kIsMilestoneValue] = GetAttribute(parts, kIsMilestone);
    if (matchColors) {
        // The fill answers S_FALSE when the topic has none: one call tells both.
        DWORD fill = 0;
        if (topic->get_FillColor(&fill) == S_OK) record.fill = fill;
    } else {
        record.attributes[kColorValue] = GetAttribute(parts, kColor);
    }
    VARIANT_BOOL collapsed = VARIANT_FALSE;
    if (SUCCEEDED(topic->get_Collapsed(&collapsed))) record.collapsed = collapsed != VARIANT_FALSE;
    return record;
}

TopicValues ValuesFromRecord(const map::TopicRecord& record, bool matchColors)
{
    TopicValues values;
    values.text = record.text;
    values.priority = PriorityFromMap(record.priority);
    if (std::isfinite(record.start)) values.start = record.start;
    if (std::isfinite(record.due)) values.due = record.due;
    values.duration = DaysFromHours(record.durationHours);
    values.unit = UnitFromMap(record.durationUnit);
    if (record.percentComplete >= 0 && record.percentComplete <= 100) values.percentComplete = record.percentComplete;
    const auto attribute = [&record](std::size_t at) {
        return at < record.attributes.size() ? record.attributes[at] : BSTR();
    };
    values.milestone = ParseBoolean(attribute(kIsMilestoneValue)).value_or(false);
    if (matchColors)
        values.color = record.fill ? ColorFromFill(*record.fill) : kNoTaskColor;
    else
        values.color = ColorFromAttribute(attribute(kColorValue));
    values.collapsed = record.collapsed;
    return values;
}

void SettleDates(TopicValues& values, DATE inheritedStart)
{
    if (values.start == 0) values.start = inheritedStart;
    bool fromDue = false;
    if (values.start == 0 && values.due != 0) {
        values.start = values.due;
        fromDue = true;
    }
    if (values.start != 0 && (fromDue || values.due == 0 || values.due < values.start)) values.due = values.start + 1.0;
}

void WriteValuesIntoTask(const TopicValues& values, ITask* task, bool autocorrect)
{
    task->put_Name(values.text);
    task->put_Priority(values.priority);
    if (values.start != 0) task->put_StartDate(values.start);
    if (autocorrect) {
        if (values.duration != 0)
            task->put_EndDate(values.start + values.duration);
        else if (values.due != 0)
            task->put_EndDate(values.due);
    } else {
        task->put_EndDate(values.due);
        task->put_Duration(values.duration);
    }
    task->put_DurationUnit(values.unit);
    task->put_PercentComplete(values.percentComplete);
    task->put_IsMilestone(ToVariantBool(values.milestone));
    ComPtr<ITaskAppearance> appearance;
    if (SUCCEEDED(task->get_Appearance(appearance.ReleaseAndGetAddressOf())) && appearance)
        appearance->put_Color(values.color);
}

HRESULT WriteTaskIntoTopic(ITask* task, IMmTopic* topic, bool matchColors)
{
    BSTR name;
    QMXPriority priority = prNone;
    DATE start = 0, end = 0;
    float duration = 0;
    QMXDurationUnit unit = duDay;
    LONG percent = 0;
    VARIANT_BOOL milestone = VARIANT_FALSE;
    COLORREF color = kNoTaskColor;
    RETURN_IF_FAILED(task->get_Name(&name));
    RETURN_IF_FAILED(task->get_Priority(&priority));
    RETURN_IF_FAILED(task->get_StartDate(&start));
    RETURN_IF_FAILED(task->get_EndDate(&end));
    RETURN_IF_FAILED(task->get_Duration(&duration));
    RETURN_IF_FAILED(task->get_DurationUnit(&unit));
    RETURN_IF_FAILED(task->get_PercentComplete(&percent));
    RETURN_IF_FAILED(task->get_IsMilestone(&milestone));
    ComPtr<ITaskAppearance> appearance;
    RETURN_IF_FAILED(task->get_Appearance(appearance.ReleaseAndGetAddressOf()));
    RETURN_IF_FAILED(appearance->get_Color(&color));

    RETURN_IF_FAILED(topic->put_Text(name));
    const TopicParts parts = PartsOf(topic);
    IMmTaskInfo* info = parts.info.Get();
    if (!info) return E_FAIL;
    // Only a low priority depends on the map's value (4 and more are kept).
    LONG mapPriority = 0;
    if (priority == prLow) RETURN_IF_FAILED(info->get_Priority(&mapPriority));
    if (const auto value = PriorityToMap(priority, mapPriority)) RETURN_IF_FAILED(info->put_Priority(*value));
    RETURN_IF_FAILED(info->put_StartDate(start));
    RETURN_IF_FAILED(info->put_DueDate(end));
    RETURN_IF_FAILED(info->put_DurationHours(HoursFromDays(duration)));
    RETURN_IF_FAILED(info->put_DurationUnit(UnitToMap(unit, duration)));
    RETURN_IF_FAILED(info->put_PercentComplete(percent));
    RETURN_IF_FAILED(SetAttribute(parts, kIsMilestone, FormatMapBoolean(milestone != VARIANT_FALSE)));
    if (matchColors) return SetTopicColor(topic, color);
    return SetAttribute(parts, kColor, ColorToAttribute(color));
}

ComPtr<IMmTopics> SubTopicsOf(IMmTopic* topic)
{
    VARIANT_BOOL central = VARIANT_FALSE;
    topic->get_IsCentralTopic(&central);
    return SubTopicsOf(topic, central != VARIANT_FALSE);
}

ComPtr<IMmTopics> SubTopicsOf(IMmTopic* topic, bool central)
{
    ComPtr<IMmTopics> topics;
    if (FAILED(topic->get_SubTopics(ToVariantBool(!central), topics.ReleaseAndGetAddressOf()))) topics = nullptr;
    return topics;
}

BSTR GuidOf(IMmTopic* topic)
{
    BSTR guid;
    if (FAILED(topic->get_Guid(&guid))) guid.clear();
    return guid;
}

bool IsSpecialTopic(IMmTopic* topic)
{
    VARIANT_BOOL floating = VARIANT_FALSE, callout = VARIANT_FALSE;
    topic->get_IsFloating(&floating);
    topic->get_IsCallout(&callout);
    return floating != VARIANT_FALSE || callout != VARIANT_FALSE;
}

}  // namespace qmx::mm
