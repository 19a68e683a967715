#include "tools/project_dump.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <vector>

#include "automation/bstr.h"
#include "automation/com_ptr.h"
#include "automation/date_time.h"
#include "model/plan_walk.h"

namespace qmx {

namespace {

// Appends JSON values to a string.
class JsonOut {
public:
    explicit JsonOut(std::string& out) : out_(out) {}

    JsonOut& Raw(std::string_view text)
    {
        out_ += text;
        return *this;
    }
    JsonOut& Key(std::string_view key)
    {
        String(key);
        out_ += ": ";
        return *this;
    }
    JsonOut& String(std::string_view text)
    {
        out_ += '"';
        for (const char c : text) {
            switch (c) {
            case '"': out_ += "\\\""; break;
            case '\\': out_ += "\\\\"; break;
            case '\n': out_ += "\\n"; break;
            case '\r': out_ += "\\r"; break;
            case '\t': out_ += "\\t"; break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
                    out_ += escaped;
                } else {
                    out_ += c;
                }
            }
        }
        out_ += '"';
        return *this;
    }
    JsonOut& String(const BSTR& text) { return String(BstrToUtf8(text)); }
    JsonOut& Integer(long value)
    {
        char buffer[24];
        out_.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
        return *this;
    }
    JsonOut& Number(float value)
    {
        if (!std::isfinite(value)) return Raw("null");
        char buffer[32];
        out_.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
        return *this;
    }
    JsonOut& Boolean(bool value) { return Raw(value ? "true" : "false"); }
    JsonOut& Boolean(VARIANT_BOOL value) { return Boolean(value != VARIANT_FALSE); }
    JsonOut& Date(DATE date)
    {
        if (!(date >= kMinDate - 1 && date <= kMaxDate)) return Raw("null");
        const DateTimeParts parts = PartsFromDate(date);
        if (!IsValidDate(parts.date.year, parts.date.month, parts.date.day)) return Raw("null");
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "\"%04d-%02d-%02dT%02d:%02d:%02d\"", parts.date.year, parts.date.month,
                      parts.date.day, parts.hour, parts.minute, parts.second);
        return Raw(buffer);
    }
    JsonOut& Color(COLORREF color)
    {
        if (color == kNoTaskColor) return Raw("null");
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "\"#%02x%02x%02x\"", unsigned(GetRValue(color)),
                      unsigned(GetGValue(color)), unsigned(GetBValue(color)));
        return Raw(buffer);
    }

private:
    std::string& out_;
};

// Visits every task depth first in tree order, parents before children.
template <class Visit>
HRESULT ForEachTask(ITaskTree* tree, Visit&& visit)
{
    return WalkTaskTree(
        tree, [&visit](ITask* task, LONG parentId, LONG index, std::size_t) { return visit(task, parentId, index); },
        [] { return S_OK; });
}

HRESULT DumpTask(JsonOut& json, ITask* task, LONG parentId, LONG index)
{
    TaskFields f;
    RETURN_IF_FAILED(ReadTaskFields(task, &f));

    json.Raw("{").Key("id").Integer(f.id);
    json.Raw(", ").Key("parentId").Integer(parentId);
    json.Raw(", ").Key("index").Integer(index);
    json.Raw(", ").Key("name").String(f.name);
    json.Raw(", ").Key("priority").Integer(f.priority);
    json.Raw(", ").Key("start").Date(f.start);
    json.Raw(", ").Key("end").Date(f.end);
    json.Raw(", ").Key("duration").Number(f.duration);
    json.Raw(", ").Key("durationUnit").Integer(f.unit);
    json.Raw(", ").Key("percentComplete").Integer(f.complete);
    json.Raw(", ").Key("milestone").Boolean(f.milestone);
    json.Raw(", ").Key("notes").String(f.notes);
    json.Raw(", ").Key("url").String(f.url);
    json.Raw(", ").Key("color").Color(f.color);
    json.Raw(", ").Key("successors").Raw("[");
    RETURN_IF_FAILED(ForEachSuccessor(task, [&json](LONG i, LONG dependentId, QMXDependencyType type) {
        json.Raw(i ? ", " : "").Raw("{").Key("id").Integer(dependentId).Raw(", ").Key("type").Integer(type).Raw("}");
        return S_OK;
    }));
    json.Raw("]}");
    return S_OK;
}

}  // namespace

HRESULT CountProject(IDocumentData* data, ProjectCounts* counts)
{
    if (!data || !counts) return E_POINTER;
    *counts = ProjectCounts{};
    ComPtr<ITaskTree> tree;
    ComPtr<IResources> resources;
    LONG count = 0;
    RETURN_IF_FAILED(data->get_TaskTree(tree.ReleaseAndGetAddressOf()));
    RETURN_IF_FAILED(data->get_Resources(resources.ReleaseAndGetAddressOf()));
    RETURN_IF_FAILED(resources->get_Count(&count));
    counts->resources = count;
    RETURN_IF_FAILED(ForEachTask(tree.Get(), [&](ITask* task, LONG, LONG) {
        ComPtr<ITaskDependencies> successors;
        LONG links = 0;
        RETURN_IF_FAILED(task->get_Successors(successors.ReleaseAndGetAddressOf()));
        RETURN_IF_FAILED(successors->get_Count(&links));
        ++counts->tasks;
        counts->links += links;
        return S_OK;
    }));
    return ForEachAssignment(tree.Get(), [&](LONG, LONG, LONG) {
        ++counts->assignments;
        return S_OK;
    });
}

HRESULT DumpProjectJson(IDocumentData* data, std::string* out)
{
    if (!data || !out) return E_POINTER;
    out->clear();
    JsonOut json(*out);
    ComPtr<IDocumentProperties> properties;
    ComPtr<ITaskTree> tree;
    ComPtr<IResources> resources;
    ComPtr<ITaskAppearance> defaultAppearance;
    BSTR name;
    BSTR description;
    VARIANT_BOOL autocorrect = VARIANT_FALSE;
    VARIANT_BOOL matchColors = VARIANT_FALSE;
    COLORREF defaultColor = kNoTaskColor;
    RETURN_IF_FAILED(data->get_Properties(properties.ReleaseAndGetAddressOf()));
    RETURN_IF_FAILED(properties->get_Name(&name));
    RETURN_IF_FAILED(properties->get_Description(&description));
    RETURN_IF_FAILED(data->get_TaskTree(tree.ReleaseAndGetAddressOf()));
    RETURN_IF_FAILED(data->get_Resources(resources.ReleaseAndGetAddressOf()));
    RETURN_IF_FAILED(tree->get_AutocorrectTaskDates(&autocorrect));
    RETURN_IF_FAILED(tree->get_MatchColors(&matchColors));
    RETURN_IF_FAILED(tree->get_DefaultTaskAppearance(defaultAppearance.ReleaseAndGetAddressOf()));
    RETURN_IF_FAILED(defaultAppearance->get_Color(&defaultColor));

    json.Raw("{\n  ").Key("name").String(name);
    json.Raw(",\n  ").Key("description").String(description);
    json.Raw(",\n  ").Key("autocorrectTaskDates").Boolean(autocorrect);
    json.Raw(",\n  ").Key("matchColors").Boolean(matchColors);
    json.Raw(",\n  ").Key("defaultColor").Color(defaultColor);

    json.Raw(",\n  ").Key("tasks").Raw("[");
    bool first = true;
    RETURN_IF_FAILED(ForEachTask(tree.Get(), [&](ITask* task, LONG parentId, LONG index) {
        json.Raw(first ? "\n    " : ",\n    ");
        first = false;
        return DumpTask(json, task, parentId, index);
    }));
    json.Raw(first ? "]" : "\n  ]");

    LONG count = 0;
    RETURN_IF_FAILED(resources->get_Count(&count));
    json.Raw(",\n  ").Key("resources").Raw("[");
    for (LONG i = 0; i < count; ++i) {
        ComPtr<IResource> resource;
        LONG id = 0;
        BSTR resourceName;
        RETURN_IF_FAILED(resources->get_Resources(i, resource.ReleaseAndGetAddressOf()));
        RETURN_IF_FAILED(resource->get_ID(&id));
        RETURN_IF_FAILED(resource->get_Name(&resourceName));
        json.Raw(i ? ",\n    " : "\n    ").Raw("{").Key("id").Integer(id).Raw(", ").Key("name").String(resourceName).Raw("}");
    }
    json.Raw(count ? "\n  ]" : "]");

    json.Raw(",\n  ").Key("assignments").Raw("[");
    first = true;
    RETURN_IF_FAILED(ForEachAssignment(tree.Get(), [&](LONG taskId, LONG resourceId, LONG units) {
        json.Raw(first ? "\n    " : ",\n    ");
        first = false;
        json.Raw("{").Key("taskId").Integer(taskId).Raw(", ").Key("resourceId").Integer(resourceId);
        json.Raw(", ").Key("units").Integer(units).Raw("}");
        return S_OK;
    }));
    json.Raw(first ? "]" : "\n  ]");
    json.Raw("\n}\n");
    return S_OK;
}

}  // namespace qmx
