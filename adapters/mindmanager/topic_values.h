// Reading a topic's task values and writing a task into a topic: the one
// place that knows where each task value lives in the map.
#pragma once

#include "adapters/contract/document_data.h"
#include "automation/com_ptr.h"
#include "maphost/api/map_interfaces.h"
#include "maphost/api/topic_records.h"
#include "model/model_interfaces.h"

namespace qmx::mm {

// The namespace of the adapter's own topic attributes.
inline constexpr char16_t kAttributeNamespace[] = u"urn:qmx:qmxgantt:mm5adapter";

// Attribute names.
inline constexpr char16_t kAutocorrectDates[] = u"AutocorrectDates";
inline constexpr char16_t kMatchColors[] = u"MatchColors";
inline constexpr char16_t kViewSettings[] = u"ViewSettings";
inline constexpr char16_t kResources[] = u"Resources";
inline constexpr char16_t kIsMilestone[] = u"IsMilestone";
inline constexpr char16_t kColor[] = u"Color";
inline constexpr char16_t kSuccessors[] = u"Successors";
inline constexpr char16_t kPredecessors[] = u"Predecessors";
inline constexpr char16_t kTaskResources[] = u"TaskResources";
inline constexpr char16_t kGuidCopy[] = u"GuidCopy";

// An attribute's text; empty when absent or unreadable.
BSTR GetAttribute(IMmTopic* topic, const char16_t* name);
HRESULT SetAttribute(IMmTopic* topic, const char16_t* name, const BSTR& value);

// The parts of a topic that hold its values. Each is an object of its own
// in the map, the same for the topic's whole life; asking for it is a call
// (across processes a round trip), so code that reads or writes several
// values asks once. Either part is null when the map does not give it.
struct TopicParts {
    ComPtr<IMmTaskInfo> info;
    ComPtr<IMmAttributes> attributes;  // of the adapter's namespace
};
TopicParts PartsOf(IMmTopic* topic);
BSTR GetAttribute(const TopicParts& parts, const char16_t* name);
HRESULT SetAttribute(const TopicParts& parts, const char16_t* name, const BSTR& value);

// What a topic says about its task, converted to the model's terms.
struct TopicValues {
    BSTR text;
    QMXPriority priority = prNone;
    DATE start = 0;
    DATE due = 0;
    float duration = 0;  // days
    QMXDurationUnit unit = duDay;
    LONG percentComplete = 0;
    bool milestone = false;
    COLORREF color = kNoTaskColor;
    bool collapsed = false;
};

// The dates a task takes from its topic: no start takes the inherited one,
// or else the due date (and lasts one day); a due date before the start, or
// none, ends a day after the start.
void SettleDates(TopicValues& values, DATE inheritedStart);

// A value that cannot be read keeps its default.
TopicValues ReadTopicValues(IMmTopic* topic, bool matchColors);
TopicValues ReadTopicValues(IMmTopic* topic, const TopicParts& parts, bool matchColors);

// The attributes a load reads of every topic, in the order of a record's
// attribute values (map::TopicRecord), and their names in that order.
enum LoadedAttribute : std::size_t {
    kGuidCopyValue,
    kIsMilestoneValue,
    kColorValue,
    kTaskResourcesValue,
    kPredecessorsValue,
    kLoadedAttributeCount
};
std::vector<BSTR> LoadedAttributeNames();

// The values of a topic in the map's terms, read through single calls: the
// text, the task information but its resources text, IsMilestone, the fill
// (matching colours) or Color (not), and the collapsed flag. A value that
// cannot be read keeps its default.
map::TopicRecord ReadTopicRecord(IMmTopic* topic, const TopicParts& parts, bool matchColors);
// The same values converted to the model's terms, however they were read.
TopicValues ValuesFromRecord(const map::TopicRecord& record, bool matchColors);

// Puts the values into the task in the order the model needs them (name,
// priority, start, end or duration, unit, percent, milestone, colour).
void WriteValuesIntoTask(const TopicValues& values, ITask* task, bool autocorrect);

// Writes the task's values into its topic.
HRESULT WriteTaskIntoTopic(ITask* task, IMmTopic* topic, bool matchColors);

// The topic's fill as a model colour.
COLORREF TopicColor(IMmTopic* topic);
HRESULT SetTopicColor(IMmTopic* topic, COLORREF color);

// The sub-topics of a topic (flag false for the central topic); the second
// form for a caller that knows whether the topic is the central one.
ComPtr<IMmTopics> SubTopicsOf(IMmTopic* topic);
ComPtr<IMmTopics> SubTopicsOf(IMmTopic* topic, bool central);
BSTR GuidOf(IMmTopic* topic);

// Ignored by the adapter: floating topics and callouts.
bool IsSpecialTopic(IMmTopic* topic);

}  // namespace qmx::mm
