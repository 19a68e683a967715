#include "maphost/store/freemind_file.h"

#include <cstdio>
#include <unordered_set>
#include <vector>

#include "automation/bstr.h"
#include "automation/value_text.h"
#include "maphost/store/map_file_support.h"
#include "maphost/store/map_support.h"

namespace qmx::map {

namespace {

// Node attribute names of the values FreeMind has no place for.
constexpr std::string_view kTaskPrefix = "qmx-task:";
constexpr char kFloating[] = "qmx:floating";
constexpr char kCallout[] = "qmx:callout";
constexpr char kFillAlpha[] = "qmx:fill-alpha";

std::string NodeId(const GUID& guid)
{
    std::string text = GuidToString(guid);  // {XXXXXXXX-XXXX-...}
    std::string id = "ID_";
    for (const char c : text) {
        if (c != '{' && c != '}' && c != '-') id += c;
    }
    return id;
}

std::optional<GUID> GuidFromNodeId(std::string_view id)
{
    if (id.size() != 35 || id.substr(0, 3) != "ID_") return std::nullopt;
    const std::string hex(id.substr(3));
    return ParseGuid(hex.substr(0, 8) + "-" + hex.substr(8, 4) + "-" + hex.substr(12, 4) + "-" + hex.substr(16, 4) + "-" +
                     hex.substr(20));
}

// "{namespace}name" for a namespaced attribute.
std::optional<std::pair<BSTR, BSTR>> SplitAttributeName(std::string_view name)
{
    if (name.size() < 3 || name[0] != '{') return std::nullopt;
    const std::size_t close = name.find('}');
    if (close == std::string_view::npos || close == 1 || close + 1 == name.size()) return std::nullopt;
    return std::pair{Utf8ToBstr(name.substr(1, close - 1)), Utf8ToBstr(name.substr(close + 1))};
}

class FreeMindReader final : public xml::SaxContentHandler {
public:
    explicit FreeMindReader(MapSnapshot* snapshot) : snapshot_(snapshot) {}
    const std::string& Error() const { return error_; }

    HRESULT StartDocument() override { return S_OK; }
    HRESULT StartElement(std::string_view name, const xml::SaxAttributes& attributes) override
    {
        ++depth_;
        if (skipFrom_ != 0) return S_OK;
        if (depth_ == 1) {
            if (name != "map") return Refuse("This is not a FreeMind map: its top element is '" + std::string(name) + "', not 'map'.");
            return S_OK;
        }
        const bool underNode = !open_.empty() && open_.back().second == depth_ - 1;
        if (name == "node" && (depth_ == 2 ? snapshot_->topics.empty() : underNode)) return StartNode(attributes);
        if (name == "node" && depth_ == 2) return Refuse("The FreeMind map holds more than one root node.");
        if (name == "attribute" && underNode) return ReadAttribute(attributes);
        skipFrom_ = depth_;  // icons, fonts, edges, rich content: passed over
        return S_OK;
    }
    HRESULT EndElement() override
    {
        if (skipFrom_ == depth_) skipFrom_ = 0;
        if (!open_.empty() && open_.back().second == depth_) open_.pop_back();
        --depth_;
        return S_OK;
    }
    HRESULT Characters(std::string_view) override { return S_OK; }
    HRESULT EndDocument() override
    {
        if (snapshot_->topics.empty()) return Refuse("The FreeMind map holds no node.");
        return S_OK;
    }

private:
    HRESULT Refuse(std::string message)
    {
        error_ = std::move(message);
        return E_FAIL;
    }

    HRESULT StartNode(const xml::SaxAttributes& attributes)
    {
        SnapshotTopic topic;
        const auto id = attributes.Find("ID");
        std::optional<GUID> guid = id ? GuidFromNodeId(*id) : std::nullopt;
        if (!guid || used_.contains(*guid)) guid = NewGuid();  // a node of another program, or a copy
        used_.insert(*guid);
        topic.guid = *guid;
        topic.parent = open_.empty() ? -1 : open_.back().first;
        if (const auto text = attributes.Find("TEXT")) topic.values.text = Utf8ToBstr(*text);
        if (const auto folded = attributes.Find("FOLDED")) topic.values.collapsed = *folded == "true";
        if (const auto colour = attributes.Find("BACKGROUND_COLOR")) topic.values.fill = ParseFill(*colour);
        open_.emplace_back(static_cast<std::int32_t>(snapshot_->topics.size()), depth_);
        snapshot_->topics.push_back(std::move(topic));
        return S_OK;
    }

    HRESULT ReadAttribute(const xml::SaxAttributes& attributes)
    {
        const auto name = attributes.Find("NAME");
        if (!name || name->empty()) return S_OK;
        const std::string_view value = attributes.Find("VALUE").value_or("");
        TopicValues& values = snapshot_->topics.back().values;
        if (name->substr(0, kTaskPrefix.size()) == kTaskPrefix) {
            const std::string_view field = name->substr(kTaskPrefix.size());
            TaskValues task = values.task;
            const auto integer = ParseInteger(value);
            const auto number = ParseNumber(value);
            if (field == "priority" && integer) task.priority = *integer;
            else if (field == "unit" && integer) task.durationUnit = *integer;
            else if (field == "percent" && integer) task.percentComplete = *integer;
            else if (field == "start" && number) task.start = *number;
            else if (field == "due" && number) task.due = *number;
            else if (field == "hours" && number) task.durationHours = *number;
            else if (field == "resources") task.resources = Utf8ToBstr(value);
            else return Refuse("The task value '" + std::string(value) + "' of '" + std::string(field) + "' is not valid.");
            if (const char* why = CheckTaskValues(task)) return Refuse(why);
            values.task = std::move(task);
        } else if (*name == kFloating || *name == kCallout) {
            const std::optional<bool> flag = ParseFlag(value);
            if (flag) (*name == kFloating ? values.floating : values.callout) = *flag;
        } else if (*name == kFillAlpha) {
            const auto alpha = ParseInteger(value);
            if (alpha && *alpha >= 0 && *alpha <= 255 && values.fill)
                values.fill = (*values.fill & 0x00FFFFFFu) | (static_cast<DWORD>(*alpha) << 24);
        } else if (const auto split = SplitAttributeName(*name)) {
            values.attributes[split->first][split->second] = Utf8ToBstr(value);
        } else {
            // A FreeMind attribute of the map's own: kept under its name.
            values.attributes[u"freemind"][Utf8ToBstr(*name)] = Utf8ToBstr(value);
        }
        return S_OK;
    }

    MapSnapshot* snapshot_;
    std::vector<std::pair<std::int32_t, int>> open_;  // (topic index, depth) of the open nodes
    std::unordered_set<GUID> used_;
    std::string error_;
    int depth_ = 0;
    int skipFrom_ = 0;
};

std::optional<MapFileError> Parse(const xml::ReadFunction& read, MapSnapshot* snapshot)
{
    *snapshot = MapSnapshot();
    FreeMindReader reader(snapshot);
    auto error = ParseMap(read, reader, [&] { return reader.Error(); });
    if (error) *snapshot = MapSnapshot();
    return error;
}

void WriteNodeAttribute(XmlOut& out, const std::string& name, const std::string& value)
{
    out.Start("attribute");
    out.Attribute("NAME", name);
    out.Attribute("VALUE", value);
    out.End();
}

}  // namespace

std::optional<MapFileError> ReadFreeMindBytes(std::string_view bytes, MapSnapshot* snapshot)
{
    return Parse(xml::ReadFromMemory(bytes), snapshot);
}

std::optional<MapFileError> ReadFreeMindFile(const std::string& path, MapSnapshot* snapshot)
{
    return ReadFileWith(path, [&](const xml::ReadFunction& read) { return Parse(read, snapshot); });
}

std::optional<MapFileError> WriteFreeMindBytes(const MapSnapshot& snapshot, std::string* bytes)
{
    bytes->clear();
    XmlOut out(bytes);
    out.Start("map");
    out.Attribute("version", "1.0.1");
    std::vector<std::int32_t> open;  // the nodes still open, from the top
    for (std::size_t i = 0; i < snapshot.topics.size(); ++i) {
        const SnapshotTopic& topic = snapshot.topics[i];
        while (!open.empty() && open.back() != topic.parent) {
            out.End();
            open.pop_back();
        }
        if (open.size() >= static_cast<std::size_t>(kMaxFreeMindDepth))
            return MapFileError{E_FAIL, "The map is nested too deeply for a FreeMind map: save it as a map (.mmap)."};
        const TopicValues& values = topic.values;
        out.Start("node");
        out.Attribute("ID", NodeId(topic.guid));
        out.Attribute("TEXT", ToXmlText(values.text));
        if (values.collapsed) out.Attribute("FOLDED", "true");
        if (values.fill) {
            char colour[16];
            std::snprintf(colour, sizeof colour, "#%06x", unsigned(*values.fill & 0xFFFFFFu));
            out.Attribute("BACKGROUND_COLOR", colour);
        }
        if (values.fill && (*values.fill >> 24) != 0xFF) WriteNodeAttribute(out, kFillAlpha, std::to_string(*values.fill >> 24));
        if (values.floating) WriteNodeAttribute(out, kFloating, "true");
        if (values.callout) WriteNodeAttribute(out, kCallout, "true");
        const TaskValues& task = values.task;
        const TaskValues none;
        const std::string prefix(kTaskPrefix);
        if (task.priority != none.priority) WriteNodeAttribute(out, prefix + "priority", std::to_string(task.priority));
        if (task.start != none.start) WriteNodeAttribute(out, prefix + "start", FormatNumber(task.start));
        if (task.due != none.due) WriteNodeAttribute(out, prefix + "due", FormatNumber(task.due));
        if (task.durationHours != none.durationHours) WriteNodeAttribute(out, prefix + "hours", FormatNumber(task.durationHours));
        if (task.durationUnit != none.durationUnit) WriteNodeAttribute(out, prefix + "unit", std::to_string(task.durationUnit));
        if (task.percentComplete != none.percentComplete)
            WriteNodeAttribute(out, prefix + "percent", std::to_string(task.percentComplete));
        if (!task.resources.empty()) WriteNodeAttribute(out, prefix + "resources", ToXmlText(task.resources));
        for (const auto& [space, table] : values.attributes) {
            for (const auto& [name, value] : table) {
                const std::string fullName = space == u"freemind" ? ToXmlText(name) : "{" + ToXmlText(space) + "}" + ToXmlText(name);
                WriteNodeAttribute(out, fullName, ToXmlText(value));
            }
        }
        open.push_back(static_cast<std::int32_t>(i));
    }
    for (std::size_t n = open.size(); n > 0; --n) out.End();
    out.End();
    if (!out.Finish()) return MapFileError{E_FAIL, "The map could not be put into words (out of memory?)."};
    return std::nullopt;
}

std::optional<MapFileError> WriteFreeMindFile(const std::string& path, const MapSnapshot& snapshot)
{
    std::string bytes;
    if (auto error = WriteFreeMindBytes(snapshot, &bytes)) return error;
    return SaveBytes(path, bytes);
}

}  // namespace qmx::map
