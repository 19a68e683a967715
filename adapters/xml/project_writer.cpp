#include "adapters/xml/project_writer.h"

#include <libxml/xmlwriter.h>

#include <optional>
#include <string>
#include <vector>

#include "adapters/xml/quiet_libxml_errors.h"
#include "adapters/xml/value_codec.h"
#include "automation/bstr.h"
#include "automation/com_ptr.h"
#include "model/plan_walk.h"

namespace qmx::xml {

namespace {

// XML 1.0 has no way to write most control characters (not even as
// character references) nor U+FFFE and U+FFFF; a string holding one would
// make the file unreadable, so such characters become U+FFFD.
// The byte length of such a character at utf8[i], or 0.
std::size_t ForbiddenAt(const std::string& utf8, std::size_t i)
{
    const auto byte = [&utf8](std::size_t k) { return static_cast<unsigned char>(utf8[k]); };
    if (byte(i) < 0x20) return byte(i) == '\t' || byte(i) == '\n' || byte(i) == '\r' ? 0 : 1;
    if (byte(i) == 0xEF && i + 2 < utf8.size() && byte(i + 1) == 0xBF && (byte(i + 2) & 0xFE) == 0xBE) return 3;
    return 0;
}

std::string ToXmlText(const BSTR& text)
{
    std::string utf8 = BstrToUtf8(text);
    std::size_t i = 0;
    while (i < utf8.size() && ForbiddenAt(utf8, i) == 0) ++i;
    if (i == utf8.size()) return utf8;
    std::string result(utf8, 0, i);
    while (i < utf8.size()) {
        if (const std::size_t length = ForbiddenAt(utf8, i)) {
            result += "\xEF\xBF\xBD";
            i += length;
        } else {
            result += utf8[i++];
        }
    }
    return result;
}

// The file writes a priority as the model's value minus one, and none at
// all for prNone.
std::optional<std::int32_t> PriorityToFile(QMXPriority priority)
{
    switch (priority) {
    case prLow: return 0;
    case prNormal: return 1;
    case prHigh: return 2;
    case prNone: break;
    }
    return std::nullopt;
}

std::int32_t DurationUnitToFile(QMXDurationUnit unit)
{
    switch (unit) {
    case duHour: return 0;
    case duDay: return 1;
    case duWeek: return 2;
    }
    return 1;
}

// Kinds outside 0 to 3 are kept by the model as given; they are written as
// they are (and read back as finish-to-start).
std::int32_t DependencyTypeToFile(QMXDependencyType type)
{
    switch (type) {
    case dtStartToStart: return 0;
    case dtStartToFinish: return 1;
    case dtFinishToStart: return 2;
    case dtFinishToFinish: return 3;
    }
    return static_cast<std::int32_t>(type);
}

struct Output {
    const WriteFunction* write;
    bool failed = false;
};

int WriteCallback(void* context, const char* buffer, int length)
{
    auto* output = static_cast<Output*>(context);
    if (output->failed) return -1;
    bool ok = false;
    try {
        ok = (*output->write)(buffer, static_cast<std::size_t>(length));
    } catch (...) {
        ok = false;
    }
    if (!ok) {
        output->failed = true;
        return -1;
    }
    return length;
}

int CloseCallback(void*) { return 0; }

const xmlChar* X(const char* text) { return reinterpret_cast<const xmlChar*>(text); }
const xmlChar* X(const std::string& text) { return reinterpret_cast<const xmlChar*>(text.c_str()); }

// The serializer, with results as HRESULTs.
class Serializer {
public:
    explicit Serializer(Output& output)
    {
        xmlOutputBufferPtr buffer = xmlOutputBufferCreateIO(WriteCallback, CloseCallback, &output, nullptr);
        if (!buffer) return;
        writer_ = xmlNewTextWriter(buffer);
        if (!writer_) xmlOutputBufferClose(buffer);
    }
    ~Serializer()
    {
        if (writer_) xmlFreeTextWriter(writer_);
    }
    Serializer(const Serializer&) = delete;
    Serializer& operator=(const Serializer&) = delete;

    explicit operator bool() const { return writer_ != nullptr; }

    HRESULT StartDocument()
    {
        if (xmlTextWriterSetIndent(writer_, 1) < 0 || xmlTextWriterSetIndentString(writer_, X("  ")) < 0)
            return E_FAIL;
        return Check(xmlTextWriterStartDocument(writer_, nullptr, "UTF-16", nullptr));
    }
    HRESULT StartElement(const char* name) { return Check(xmlTextWriterStartElement(writer_, X(name))); }
    HRESULT Attribute(const char* name, const std::string& value)
    {
        return Check(xmlTextWriterWriteAttribute(writer_, X(name), X(value)));
    }
    HRESULT Text(const std::string& text) { return Check(xmlTextWriterWriteString(writer_, X(text))); }
    HRESULT EndElement() { return Check(xmlTextWriterEndElement(writer_)); }
    HRESULT EndDocument()
    {
        HRESULT hr = Check(xmlTextWriterEndDocument(writer_));
        if (SUCCEEDED(hr)) hr = Check(xmlTextWriterFlush(writer_));
        return hr;
    }

private:
    static HRESULT Check(int result) { return result < 0 ? E_FAIL : S_OK; }

    xmlTextWriterPtr writer_ = nullptr;
};

class ProjectWriter {
public:
    ProjectWriter(IDocumentData* data, Serializer& out) : data_(data), out_(out) {}

    HRESULT Write()
    {
        RETURN_IF_FAILED(data_->get_TaskTree(tree_.ReleaseAndGetAddressOf()));
        RETURN_IF_FAILED(out_.StartDocument());
        RETURN_IF_FAILED(WriteProjectStart());
        RETURN_IF_FAILED(WriteTasks());
        RETURN_IF_FAILED(WriteResources());
        RETURN_IF_FAILED(WriteAllocations());
        RETURN_IF_FAILED(out_.EndElement());
        return out_.EndDocument();
    }

private:
    HRESULT WriteProjectStart()
    {
        ComPtr<IDocumentProperties> properties;
        RETURN_IF_FAILED(data_->get_Properties(properties.ReleaseAndGetAddressOf()));
        BSTR name;
        BSTR description;
        RETURN_IF_FAILED(properties->get_Name(&name));
        RETURN_IF_FAILED(properties->get_Description(&description));
        RETURN_IF_FAILED(out_.StartElement("project"));
        RETURN_IF_FAILED(out_.Attribute("name", ToXmlText(name)));
        RETURN_IF_FAILED(out_.StartElement("description"));
        RETURN_IF_FAILED(out_.Text(ToXmlText(description)));
        return out_.EndElement();
    }

    HRESULT WriteTasks()
    {
        ComPtr<ITaskAppearance> appearance;
        COLORREF defaultColor = kNoTaskColor;
        VARIANT_BOOL autocorrect = VARIANT_FALSE;
        RETURN_IF_FAILED(tree_->get_DefaultTaskAppearance(appearance.ReleaseAndGetAddressOf()));
        RETURN_IF_FAILED(appearance->get_Color(&defaultColor));
        RETURN_IF_FAILED(tree_->get_AutocorrectTaskDates(&autocorrect));
        RETURN_IF_FAILED(out_.StartElement("tasks"));
        if (defaultColor != kNoTaskColor) RETURN_IF_FAILED(out_.Attribute("color", FormatColor(defaultColor)));
        RETURN_IF_FAILED(out_.Attribute("autocorrect", FormatBoolean(autocorrect != VARIANT_FALSE)));

        RETURN_IF_FAILED(WalkTaskTree(
            tree_.Get(),
            [this](ITask* task, LONG, LONG, std::size_t depth) {
                return depth > static_cast<std::size_t>(kMaxTaskNesting) ? E_FAIL : WriteTaskStart(task);
            },
            [this] { return out_.EndElement(); }));
        return out_.EndElement();
    }

    // The task's element with its notes and links, left open for its
    // subtasks.
    HRESULT WriteTaskStart(ITask* task)
    {
        TaskFields f;
        RETURN_IF_FAILED(ReadTaskFields(task, &f));

        RETURN_IF_FAILED(out_.StartElement("task"));
        RETURN_IF_FAILED(out_.Attribute("id", FormatInteger(f.id)));
        RETURN_IF_FAILED(out_.Attribute("name", ToXmlText(f.name)));
        if (const auto value = PriorityToFile(f.priority)) RETURN_IF_FAILED(out_.Attribute("priority", FormatInteger(*value)));
        RETURN_IF_FAILED(out_.Attribute("start", FormatDate(f.start)));
        RETURN_IF_FAILED(out_.Attribute("end", FormatDate(f.end)));
        RETURN_IF_FAILED(out_.Attribute("duration", FormatFloat(f.duration)));
        RETURN_IF_FAILED(out_.Attribute("duration-unit", FormatInteger(DurationUnitToFile(f.unit))));
        RETURN_IF_FAILED(out_.Attribute("complete", FormatInteger(f.complete)));
        RETURN_IF_FAILED(out_.Attribute("meeting", FormatBoolean(f.milestone != VARIANT_FALSE)));
        RETURN_IF_FAILED(out_.Attribute("url", ToXmlText(f.url)));
        if (f.color != kNoTaskColor) RETURN_IF_FAILED(out_.Attribute("color", FormatColor(f.color)));

        RETURN_IF_FAILED(out_.StartElement("notes"));
        RETURN_IF_FAILED(out_.Text(ToXmlText(f.notes)));
        RETURN_IF_FAILED(out_.EndElement());

        return ForEachSuccessor(task, [this](LONG, LONG dependentId, QMXDependencyType type) {
            RETURN_IF_FAILED(out_.StartElement("depend"));
            RETURN_IF_FAILED(out_.Attribute("id", FormatInteger(dependentId)));
            RETURN_IF_FAILED(out_.Attribute("type", FormatInteger(DependencyTypeToFile(type))));
            return out_.EndElement();
        });
    }

    HRESULT WriteResources()
    {
        ComPtr<IResources> resources;
        LONG count = 0;
        RETURN_IF_FAILED(data_->get_Resources(resources.ReleaseAndGetAddressOf()));
        RETURN_IF_FAILED(resources->get_Count(&count));
        RETURN_IF_FAILED(out_.StartElement("resources"));
        for (LONG i = 0; i < count; ++i) {
            ComPtr<IResource> resource;
            LONG id = 0;
            BSTR name;
            RETURN_IF_FAILED(resources->get_Resources(i, resource.ReleaseAndGetAddressOf()));
            RETURN_IF_FAILED(resource->get_ID(&id));
            RETURN_IF_FAILED(resource->get_Name(&name));
            RETURN_IF_FAILED(out_.StartElement("resource"));
            RETURN_IF_FAILED(out_.Attribute("id", FormatInteger(id)));
            RETURN_IF_FAILED(out_.Attribute("name", ToXmlText(name)));
            RETURN_IF_FAILED(out_.EndElement());
        }
        return out_.EndElement();
    }

    HRESULT WriteAllocations()
    {
        RETURN_IF_FAILED(out_.StartElement("allocations"));
        RETURN_IF_FAILED(ForEachAssignment(tree_.Get(), [this](LONG taskId, LONG resourceId, LONG units) {
            RETURN_IF_FAILED(out_.StartElement("allocation"));
            RETURN_IF_FAILED(out_.Attribute("task-id", FormatInteger(taskId)));
            RETURN_IF_FAILED(out_.Attribute("resource-id", FormatInteger(resourceId)));
            RETURN_IF_FAILED(out_.Attribute("load", FormatInteger(units)));
            return out_.EndElement();
        }));
        return out_.EndElement();
    }

    IDocumentData* data_;
    Serializer& out_;
    ComPtr<ITaskTree> tree_;
};

}  // namespace

HRESULT WriteProject(IDocumentData* data, const WriteFunction& write)
{
    if (!data) return E_POINTER;
    QuietLibxmlErrors quiet;
    Output output{&write};
    HRESULT hr = E_OUTOFMEMORY;
    {
        Serializer serializer(output);
        if (serializer) hr = ProjectWriter(data, serializer).Write();
    }
    // A failed write may only show when the last buffer goes out.
    return output.failed ? E_FAIL : hr;
}

}  // namespace qmx::xml
