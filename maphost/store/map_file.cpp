#include "maphost/store/map_file.h"

#include <unordered_map>

#include "automation/bstr.h"
#include "automation/value_text.h"
#include "maphost/store/map_file_support.h"
#include "maphost/store/map_support.h"

namespace qmx::map {

namespace {

constexpr std::string_view kFormatVersion = "1";

// ---- Reading ----

class MapReader final : public xml::SaxContentHandler {
public:
    explicit MapReader(MapSnapshot* snapshot) : snapshot_(snapshot) {}

    const std::string& Error() const { return error_; }

    HRESULT StartDocument() override { return S_OK; }

    HRESULT StartElement(std::string_view name, const xml::SaxAttributes& attributes) override
    {
        ++depth_;
        if (skipFrom_ != 0) return S_OK;
        if (depth_ == 1) return StartMap(name, attributes);
        if (depth_ == 2 && name == "description") {
            inDescription_ = true;
            description_.clear();
            return S_OK;
        }
        if (depth_ == 2 && name == "topic") return StartTopic(attributes);
        if (depth_ == 3 && inTopic_ && name == "task") return ReadTask(attributes);
        if (depth_ == 3 && inTopic_ && name == "attribute") return ReadAttribute(attributes);
        skipFrom_ = depth_;  // an element of a later version: its content is left alone
        return S_OK;
    }

    HRESULT EndElement() override
    {
        if (skipFrom_ == depth_) skipFrom_ = 0;
        if (depth_ == 2) {
            if (inDescription_) snapshot_->description = Utf8ToBstr(description_);
            inDescription_ = false;
            inTopic_ = false;
        }
        --depth_;
        return S_OK;
    }

    HRESULT Characters(std::string_view text) override
    {
        if (inDescription_ && skipFrom_ == 0) description_.append(text);
        return S_OK;
    }

    HRESULT EndDocument() override
    {
        if (snapshot_->topics.empty()) return Refuse("The map file holds no central topic.");
        return S_OK;
    }

private:
    HRESULT Refuse(std::string message)
    {
        error_ = std::move(message);
        return E_FAIL;
    }

    HRESULT StartMap(std::string_view name, const xml::SaxAttributes& attributes)
    {
        if (name != "map") return Refuse("This is not a map file: its top element is '" + std::string(name) + "', not 'map'.");
        const auto version = attributes.Find("version");
        if (version && *version != kFormatVersion)
            return Refuse("The map file has the format version " + std::string(*version) +
                          ", which this program does not know.");
        return S_OK;
    }

    HRESULT StartTopic(const xml::SaxAttributes& attributes)
    {
        const auto guidText = attributes.Find("guid");
        if (!guidText) return Refuse("A topic has no GUID.");
        const std::optional<GUID> guid = ParseGuid(*guidText);
        if (!guid) return Refuse("The topic GUID '" + std::string(*guidText) + "' is not valid.");
        if (indexes_.contains(*guid)) return Refuse("The topic " + GuidToString(*guid) + " appears twice.");

        SnapshotTopic topic;
        topic.guid = *guid;
        if (const auto parentText = attributes.Find("parent")) {
            const std::optional<GUID> parent = ParseGuid(*parentText);
            const auto found = parent ? indexes_.find(*parent) : indexes_.end();
            if (found == indexes_.end())
                return Refuse("The parent '" + std::string(*parentText) + "' of a topic is not a topic before it.");
            topic.parent = found->second;
        } else if (!snapshot_->topics.empty()) {
            return Refuse("The map file holds more than one central topic.");
        }
        if (snapshot_->topics.empty() && topic.parent >= 0)
            return Refuse("The map file's first topic has a parent.");
        if (const auto text = attributes.Find("text")) topic.values.text = Utf8ToBstr(*text);
        if (const auto fill = attributes.Find("fill")) {
            topic.values.fill = ParseFill(*fill);
            if (!topic.values.fill) return Refuse("The fill colour '" + std::string(*fill) + "' is not valid.");
        }
        for (auto [name, flag] : {std::pair{"collapsed", &topic.values.collapsed},
                                  std::pair{"floating", &topic.values.floating},
                                  std::pair{"callout", &topic.values.callout}}) {
            if (const auto text = attributes.Find(name)) {
                const std::optional<bool> value = ParseFlag(*text);
                if (!value) return Refuse("The value '" + std::string(*text) + "' of '" + name + "' is not true or false.");
                *flag = *value;
            }
        }
        indexes_.emplace(*guid, static_cast<std::int32_t>(snapshot_->topics.size()));
        snapshot_->topics.push_back(std::move(topic));
        inTopic_ = true;
        return S_OK;
    }

    HRESULT ReadTask(const xml::SaxAttributes& attributes)
    {
        TaskValues& task = snapshot_->topics.back().values.task;
        for (auto [name, field] : {std::pair{"priority", &task.priority}, std::pair{"unit", &task.durationUnit},
                                   std::pair{"percent", &task.percentComplete}}) {
            if (const auto text = attributes.Find(name)) {
                const std::optional<std::int32_t> value = ParseInteger(*text);
                if (!value) return Refuse("The task value '" + std::string(*text) + "' of '" + name + "' is not a whole number.");
                *field = *value;
            }
        }
        for (auto [name, field] : {std::pair{"start", &task.start}, std::pair{"due", &task.due},
                                   std::pair{"hours", &task.durationHours}}) {
            if (const auto text = attributes.Find(name)) {
                const std::optional<double> value = ParseNumber(*text);
                if (!value) return Refuse("The task value '" + std::string(*text) + "' of '" + name + "' is not a number.");
                *field = *value;
            }
        }
        if (const auto text = attributes.Find("resources")) task.resources = Utf8ToBstr(*text);
        if (const char* why = CheckTaskValues(task)) return Refuse(why);
        return S_OK;
    }

    HRESULT ReadAttribute(const xml::SaxAttributes& attributes)
    {
        const auto space = attributes.Find("namespace");
        const auto name = attributes.Find("name");
        if (!space || space->empty() || !name || name->empty())
            return Refuse("A topic attribute lacks its namespace or its name.");
        const auto value = attributes.Find("value");
        snapshot_->topics.back().values.attributes[Utf8ToBstr(*space)][Utf8ToBstr(*name)] =
            value ? Utf8ToBstr(*value) : BSTR();
        return S_OK;
    }

    MapSnapshot* snapshot_;
    std::unordered_map<GUID, std::int32_t> indexes_;
    std::string error_;
    std::string description_;
    int depth_ = 0;
    int skipFrom_ = 0;  // depth of an unknown element being skipped, or 0
    bool inDescription_ = false;
    bool inTopic_ = false;
};

std::optional<MapFileError> Parse(const xml::ReadFunction& read, MapSnapshot* snapshot)
{
    *snapshot = MapSnapshot();
    MapReader reader(snapshot);
    auto error = ParseMap(read, reader, [&] { return reader.Error(); });
    if (error) *snapshot = MapSnapshot();
    return error;
}

// ---- Writing ----

class Writer {
public:
    explicit Writer(std::string* bytes) : out_(bytes) {}

    bool Write(const MapSnapshot& snapshot)
    {
        out_.Start("map");
        out_.Attribute("version", std::string(kFormatVersion));
        if (!snapshot.description.empty()) {
            out_.Start("description");
            out_.Text(ToXmlText(snapshot.description));
            out_.End();
        }
        for (const SnapshotTopic& topic : snapshot.topics)
            WriteTopic(topic, topic.parent >= 0 ? &snapshot.topics[static_cast<std::size_t>(topic.parent)] : nullptr);
        out_.End();
        return out_.Finish();
    }

private:
    void Start(const char* name) { out_.Start(name); }
    void End() { out_.End(); }
    void Attribute(const char* name, const std::string& value) { out_.Attribute(name, value); }

    void WriteTopic(const SnapshotTopic& topic, const SnapshotTopic* parent)
    {
        const TopicValues& values = topic.values;
        Start("topic");
        Attribute("guid", GuidToString(topic.guid));
        if (parent) Attribute("parent", GuidToString(parent->guid));
        Attribute("text", ToXmlText(values.text));
        if (values.fill) Attribute("fill", FormatFill(*values.fill));
        if (values.collapsed) Attribute("collapsed", "true");
        if (values.floating) Attribute("floating", "true");
        if (values.callout) Attribute("callout", "true");
        const TaskValues& task = values.task;
        if (!(task == TaskValues())) {
            const TaskValues none;
            Start("task");
            if (task.priority != none.priority) Attribute("priority", std::to_string(task.priority));
            if (task.start != none.start) Attribute("start", FormatNumber(task.start));
            if (task.due != none.due) Attribute("due", FormatNumber(task.due));
            if (task.durationHours != none.durationHours) Attribute("hours", FormatNumber(task.durationHours));
            if (task.durationUnit != none.durationUnit) Attribute("unit", std::to_string(task.durationUnit));
            if (task.percentComplete != none.percentComplete) Attribute("percent", std::to_string(task.percentComplete));
            if (!task.resources.empty()) Attribute("resources", ToXmlText(task.resources));
            End();
        }
        for (const auto& [space, table] : values.attributes) {
            for (const auto& [name, value] : table) {
                Start("attribute");
                Attribute("namespace", ToXmlText(space));
                Attribute("name", ToXmlText(name));
                Attribute("value", ToXmlText(value));
                End();
            }
        }
        End();
    }

    XmlOut out_;
};

}  // namespace

std::optional<MapFileError> ReadMapBytes(std::string_view bytes, MapSnapshot* snapshot)
{
    return Parse(xml::ReadFromMemory(bytes), snapshot);
}

std::optional<MapFileError> ReadMapFile(const std::string& path, MapSnapshot* snapshot)
{
    return ReadFileWith(path, [&](const xml::ReadFunction& read) { return Parse(read, snapshot); });
}

std::optional<MapFileError> WriteMapBytes(const MapSnapshot& snapshot, std::string* bytes)
{
    bytes->clear();
    Writer writer(bytes);
    if (!writer.Write(snapshot)) return MapFileError{E_FAIL, "The map could not be put into words (out of memory?)."};
    return std::nullopt;
}

std::optional<MapFileError> WriteMapFile(const std::string& path, const MapSnapshot& snapshot)
{
    std::string bytes;
    if (auto error = WriteMapBytes(snapshot, &bytes)) return error;
    return SaveBytes(path, bytes);
}

}  // namespace qmx::map
