#include "adapters/xml/project_reader.h"

#include <cstdio>
#include <optional>

#include "adapters/contract/gantt_adapter.h"
#include "adapters/xml/value_codec.h"
#include "automation/bstr.h"
#include "automation/date_time.h"
#include "automation/error_info.h"
#include "model/dependency_batch.h"

namespace qmx::xml {

namespace {

constexpr const char* kMissingTaskId = "Missing task ID\n";
constexpr const char* kInvalidTaskId = "Invalid task ID\n";
constexpr const char* kMissingResourceId = "Missing resource ID\n";
constexpr const char* kInvalidResourceId = "Invalid resource ID\n";

std::string Format(const char* format, long a, long b = 0)
{
    char buffer[128];
    const int n = std::snprintf(buffer, sizeof buffer, format, a, b);
    return std::string(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
}

std::string DescribeResult(HRESULT hr)
{
    if (hr == E_OUTOFMEMORY) return "Out of memory\n";
    return Format("Unexpected error 0x%08lX\n", static_cast<long>(static_cast<std::uint32_t>(hr)));
}


std::optional<std::int32_t> IntegerAttribute(const SaxAttributes& attributes, std::string_view name)
{
    const auto text = attributes.Find(name);
    return text ? ParseInteger(*text) : std::nullopt;
}

// The file writes a priority as the model's value minus one; prNone is
// written as no attribute at all.
std::optional<QMXPriority> PriorityFromFile(std::int32_t value)
{
    switch (value) {
    case 0: return prLow;
    case 1: return prNormal;
    case 2: return prHigh;
    default: return std::nullopt;
    }
}

std::optional<QMXDurationUnit> DurationUnitFromFile(std::int32_t value)
{
    switch (value) {
    case 0: return duHour;
    case 1: return duDay;
    case 2: return duWeek;
    default: return std::nullopt;
    }
}

std::optional<QMXDependencyType> DependencyTypeFromFile(std::int32_t value)
{
    switch (value) {
    case 0: return dtStartToStart;
    case 1: return dtStartToFinish;
    case 2: return dtFinishToStart;
    case 3: return dtFinishToFinish;
    default: return std::nullopt;
    }
}

bool IsTextBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Text from the parser (UTF-8) as a model string; plain ASCII, the common
// case, is widened directly.
BSTR ToBstr(std::string_view utf8)
{
    BSTR result(utf8.size(), u'\0');
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c >= 0x80) return Utf8ToBstr(utf8);
        result[i] = c;
    }
    return result;
}

}  // namespace

HRESULT CProjectReader::Fail(HRESULT hr, std::string message)
{
    pendingError_ = std::move(message);
    return hr;
}

HRESULT CProjectReader::RequireId(const SaxAttributes& attributes, std::string_view name, IdKind kind, LONG* id)
{
    const bool task = kind == IdKind::Task;
    const auto text = attributes.Find(name);
    if (!text) return Fail(E_FAIL, task ? kMissingTaskId : kMissingResourceId);
    const auto value = ParseInteger(*text);
    if (!value || *value < 1) return Fail(E_FAIL, task ? kInvalidTaskId : kInvalidResourceId);
    *id = *value;
    return S_OK;
}

HRESULT CProjectReader::ModelFailure(HRESULT hr, std::string message)
{
    if (auto info = GetErrorInfo(); info && !info->description.empty()) {
        message = BstrToUtf8(info->description);
        if (message.back() != '\n') message += '\n';
    } else if (hr == E_OUTOFMEMORY) {
        message = DescribeResult(hr);
    }
    return Fail(FAILED(hr) ? hr : E_FAIL, std::move(message));
}

BSTR CProjectReader::TakeText()
{
    std::string_view text = text_;
    while (!text.empty() && IsTextBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsTextBlank(text.back())) text.remove_suffix(1);
    BSTR result = ToBstr(text);
    text_.clear();
    return result;
}

HRESULT CProjectReader::StartDocument()
{
    state_ = State::Document;
    skipDepth_ = 0;
    completed_ = 0;
    openTasks_.clear();
    pendingLinks_.clear();
    text_.clear();
    today_ = Today();

    if (!data_) return Fail(E_POINTER, "No document to read into\n");
    HRESULT hr = data_->get_TaskTree(tree_.ReleaseAndGetAddressOf());
    if (SUCCEEDED(hr)) hr = tree_->get_RootTasks(rootTasks_.ReleaseAndGetAddressOf());
    if (SUCCEEDED(hr)) hr = data_->get_Resources(resources_.ReleaseAndGetAddressOf());
    if (SUCCEEDED(hr)) hr = data_->get_Properties(properties_.ReleaseAndGetAddressOf());
    if (FAILED(hr)) return ModelFailure(hr, "The project model is not available\n");
    return S_OK;
}

HRESULT CProjectReader::StartElement(std::string_view name, const SaxAttributes& attributes)
{
    if (skipDepth_ > 0) {
        ++skipDepth_;
        return S_OK;
    }
    HRESULT hr = S_FALSE;  // S_FALSE: the element is not part of the format here
    switch (state_) {
    case State::Document:
        if (name == "project" && !Completed(kProject)) {
            if (const auto projectName = attributes.Find("name")) {
                hr = properties_->put_Name(ToBstr(*projectName));
                if (FAILED(hr)) return ModelFailure(hr, "Cannot set the document name\n");
            }
            state_ = State::Project;
            hr = S_OK;
        }
        break;
    case State::Project:
        hr = StartInProject(name, attributes);
        break;
    case State::Tasks:
        if (name == "task") hr = CreateTask(attributes);
        break;
    case State::Task:
        if (name == "task") {
            hr = CreateTask(attributes);
        } else if (name == "notes" && !openTasks_.back().notesRead) {
            text_.clear();
            state_ = State::Notes;
            hr = S_OK;
        } else if (name == "depend") {
            hr = ReadLink(attributes);
        }
        break;
    case State::Resources:
        if (name == "resource") hr = CreateResource(attributes);
        break;
    case State::Allocations:
        if (name == "allocation") hr = CreateAssignment(attributes);
        break;
    case State::Description:
    case State::Notes:
    case State::Depend:
    case State::Resource:
    case State::Allocation:
        break;
    }
    if (hr == S_FALSE) {
        // Unknown, repeated or misplaced: ignored with everything inside it.
        skipDepth_ = 1;
        return S_OK;
    }
    return hr;
}

HRESULT CProjectReader::StartInProject(std::string_view name, const SaxAttributes& attributes)
{
    if (name == "description" && !Completed(kDescription)) {
        text_.clear();
        state_ = State::Description;
        return S_OK;
    }
    if (name == "tasks" && !Completed(kTasks)) return ReadTasksSection(attributes);
    if (name == "resources" && !Completed(kResources)) {
        state_ = State::Resources;
        return S_OK;
    }
    if (name == "allocations" && !Completed(kAllocations)) {
        state_ = State::Allocations;
        return S_OK;
    }
    return S_FALSE;
}

HRESULT CProjectReader::ReadTasksSection(const SaxAttributes& attributes)
{
    if (const auto text = attributes.Find("color")) {
        if (const auto color = ParseColor(*text)) {
            ComPtr<ITaskAppearance> appearance;
            HRESULT hr = tree_->get_DefaultTaskAppearance(appearance.ReleaseAndGetAddressOf());
            if (SUCCEEDED(hr)) hr = appearance->put_Color(*color);
            if (FAILED(hr)) return ModelFailure(hr, "Cannot set the default task colour\n");
        }
    }
    const auto autocorrectText = attributes.Find("autocorrect");
    const bool autocorrect = autocorrectText ? ParseBoolean(*autocorrectText).value_or(false) : false;
    const HRESULT hr = tree_->put_AutocorrectTaskDates(ToVariantBool(autocorrect));
    if (FAILED(hr)) return ModelFailure(hr, "Cannot set the date correction\n");
    state_ = State::Tasks;
    return S_OK;
}

HRESULT CProjectReader::CreateTask(const SaxAttributes& attributes)
{
    LONG id = 0;
    if (const HRESULT hr = RequireId(attributes, "id", IdKind::Task, &id); FAILED(hr)) return hr;

    // Optional values; an invalid one keeps the default.
    BSTR name;
    if (const auto text = attributes.Find("name")) name = ToBstr(*text);
    QMXPriority priority = prNone;
    if (const auto value = IntegerAttribute(attributes, "priority"))
        priority = PriorityFromFile(*value).value_or(prNone);
    DATE start = today_;
    if (const auto text = attributes.Find("start")) start = ParseDate(*text).value_or(today_);
    float duration = 1.0f;
    if (const auto text = attributes.Find("duration")) {
        // A duration that would end the task past the calendar is invalid.
        if (const auto value = ParseFloat(*text); value && *value >= 0 && IsCalendarDate(start + *value))
            duration = *value;
    }
    QMXDurationUnit unit = duDay;
    if (const auto value = IntegerAttribute(attributes, "duration-unit"))
        unit = DurationUnitFromFile(*value).value_or(duDay);
    std::optional<DATE> end;
    if (const auto text = attributes.Find("end")) end = ParseDate(*text);
    if (!end) end = start + duration;
    LONG complete = 0;
    if (const auto value = IntegerAttribute(attributes, "complete"); value && *value >= 0 && *value <= 100)
        complete = *value;
    bool milestone = false;
    if (const auto text = attributes.Find("meeting")) milestone = ParseBoolean(*text).value_or(false);
    BSTR url;
    if (const auto text = attributes.Find("url")) url = ToBstr(*text);
    COLORREF color = kNoTaskColor;
    if (const auto text = attributes.Find("color")) color = ParseColor(*text).value_or(kNoTaskColor);

    ComPtr<ITasks> parentList = rootTasks_;
    HRESULT hr = S_OK;
    if (!openTasks_.empty()) hr = openTasks_.back().task->get_Subtasks(parentList.ReleaseAndGetAddressOf());
    ComPtr<ITask> task;
    if (SUCCEEDED(hr)) hr = parentList->AddWithID(id, -1, name, task.ReleaseAndGetAddressOf());
    if (FAILED(hr)) return ModelFailure(hr, hr == E_FAIL ? "Duplicate task ID\n" : DescribeResult(hr));

    // The order of the puts is part of the format's meaning: the model
    // reconciles each value with those set before it.
    hr = task->put_Priority(priority);
    if (SUCCEEDED(hr)) hr = task->put_StartDate(start);
    if (SUCCEEDED(hr)) hr = task->put_EndDate(*end);
    if (SUCCEEDED(hr)) hr = task->put_Duration(duration);
    if (SUCCEEDED(hr)) hr = task->put_DurationUnit(unit);
    if (SUCCEEDED(hr)) hr = task->put_PercentComplete(complete);
    if (SUCCEEDED(hr)) hr = task->put_IsMilestone(ToVariantBool(milestone));
    if (SUCCEEDED(hr)) hr = task->put_URL(url);
    if (SUCCEEDED(hr)) {
        ComPtr<ITaskAppearance> appearance;
        hr = task->get_Appearance(appearance.ReleaseAndGetAddressOf());
        if (SUCCEEDED(hr)) hr = appearance->put_Color(color);
    }
    if (FAILED(hr)) return ModelFailure(hr, Format("Cannot set the values of task %ld\n", id));

    openTasks_.push_back(OpenTask{id, std::move(task), false});
    state_ = State::Task;
    return S_OK;
}

HRESULT CProjectReader::ReadLink(const SaxAttributes& attributes)
{
    LONG dependent = 0;
    if (const HRESULT hr = RequireId(attributes, "id", IdKind::Task, &dependent); FAILED(hr)) return hr;
    QMXDependencyType type = dtFinishToStart;
    if (const auto value = IntegerAttribute(attributes, "type"))
        type = DependencyTypeFromFile(*value).value_or(dtFinishToStart);
    pendingLinks_.push_back(PendingLink{openTasks_.back().id, dependent, type});
    state_ = State::Depend;
    return S_OK;
}

HRESULT CProjectReader::CreateResource(const SaxAttributes& attributes)
{
    LONG id = 0;
    if (const HRESULT hr = RequireId(attributes, "id", IdKind::Resource, &id); FAILED(hr)) return hr;
    BSTR name;
    if (const auto text = attributes.Find("name")) name = ToBstr(*text);
    ComPtr<IResource> resource;
    const HRESULT hr = resources_->AddWithID(id, name, resource.ReleaseAndGetAddressOf());
    if (FAILED(hr)) return ModelFailure(hr, hr == E_FAIL ? "Duplicate resource ID\n" : DescribeResult(hr));
    state_ = State::Resource;
    return S_OK;
}

HRESULT CProjectReader::CreateAssignment(const SaxAttributes& attributes)
{
    LONG taskId = 0;
    if (const HRESULT hr = RequireId(attributes, "task-id", IdKind::Task, &taskId); FAILED(hr)) return hr;
    LONG resourceId = 0;
    if (const HRESULT hr = RequireId(attributes, "resource-id", IdKind::Resource, &resourceId); FAILED(hr)) return hr;
    LONG load = 100;
    if (const auto value = IntegerAttribute(attributes, "load"); value && *value >= 0) load = *value;

    ComPtr<ITask> task;
    HRESULT hr = tree_->GetTask(taskId, task.ReleaseAndGetAddressOf());
    if (FAILED(hr)) return ModelFailure(hr, "Unknown task ID\n");
    ComPtr<IResource> resource;
    hr = resources_->GetResourceByID(resourceId, resource.ReleaseAndGetAddressOf());
    if (FAILED(hr)) return ModelFailure(hr, "Unknown resource ID\n");
    ComPtr<ITaskResources> assignments;
    hr = task->get_Resources(assignments.ReleaseAndGetAddressOf());
    ComPtr<ITaskResource> assignment;
    if (SUCCEEDED(hr)) hr = assignments->Add(resource.Get(), assignment.ReleaseAndGetAddressOf());
    if (FAILED(hr)) return ModelFailure(hr, "Duplicate allocation\n");
    hr = assignment->put_Units(load);
    if (FAILED(hr)) return ModelFailure(hr, DescribeResult(hr));
    state_ = State::Allocation;
    return S_OK;
}

HRESULT CProjectReader::EndElement()
{
    if (skipDepth_ > 0) {
        --skipDepth_;
        return S_OK;
    }
    HRESULT hr = S_OK;
    switch (state_) {
    case State::Document:
        break;
    case State::Project:
        Complete(kProject);
        state_ = State::Document;
        break;
    case State::Description:
        hr = properties_->put_Description(TakeText());
        if (FAILED(hr)) return ModelFailure(hr, "Cannot set the document description\n");
        Complete(kDescription);
        state_ = State::Project;
        break;
    case State::Tasks:
        Complete(kTasks);
        state_ = State::Project;
        break;
    case State::Resources:
        Complete(kResources);
        state_ = State::Project;
        break;
    case State::Allocations:
        Complete(kAllocations);
        state_ = State::Project;
        break;
    case State::Task:
        openTasks_.pop_back();
        state_ = openTasks_.empty() ? State::Tasks : State::Task;
        break;
    case State::Notes: {
        OpenTask& current = openTasks_.back();
        hr = current.task->put_Notes(TakeText());
        if (FAILED(hr)) return ModelFailure(hr, Format("Cannot set the notes of task %ld\n", current.id));
        current.notesRead = true;
        state_ = State::Task;
        break;
    }
    case State::Depend:
        state_ = State::Task;
        break;
    case State::Resource:
        state_ = State::Resources;
        break;
    case State::Allocation:
        state_ = State::Allocations;
        break;
    }
    return S_OK;
}

HRESULT CProjectReader::Characters(std::string_view text)
{
    // Only description and notes carry text. Pieces are kept whole: the
    // parser splits text at entity references and buffer boundaries, and
    // blanks there belong to the text. The whole is trimmed when it is used.
    if (skipDepth_ == 0 && (state_ == State::Description || state_ == State::Notes)) text_.append(text);
    return S_OK;
}

HRESULT CProjectReader::EndDocument() { return MakeLinks(); }

HRESULT CProjectReader::MakeLinks()
{
    // The model makes the file's links in one batch where it can, with the
    // outcome of linking them one by one in file order.
    std::size_t made = 0;
    HRESULT hr = S_OK;
    ComPtr<IDependencyBatch> batch;
    if (!pendingLinks_.empty() && SUCCEEDED(tree_.As(&batch)) && batch) {
        std::vector<DependencyRequest> requests;
        requests.reserve(pendingLinks_.size());
        for (const PendingLink& link : pendingLinks_) requests.push_back({link.source, link.dependent, link.type});
        LONG count = 0;
        hr = batch->DependencyLinkAll(static_cast<LONG>(requests.size()), requests.data(), &count);
        made = static_cast<std::size_t>(count);
    } else {
        for (; made < pendingLinks_.size(); ++made) {
            const PendingLink& link = pendingLinks_[made];
            hr = tree_->DependencyLink(link.source, link.dependent, link.type);
            if (FAILED(hr)) break;
        }
    }
    if (FAILED(hr) && made < pendingLinks_.size()) {
        const PendingLink& link = pendingLinks_[made];
        return ModelFailure(hr, hr == E_INVALIDARG
                                    ? Format("Unknown task ID %ld\n", link.dependent)
                                    : Format("Invalid dependency between tasks %ld and %ld\n", link.source,
                                             link.dependent));
    }
    if (FAILED(hr)) return ModelFailure(hr, DescribeResult(hr));
    pendingLinks_.clear();
    return S_OK;
}

HRESULT ReadProject(const ReadFunction& read, IDocumentData* data)
{
    ClearErrorInfo();
    CProjectReader reader(data);
    const std::optional<SaxFailure> failure = ParseXml(read, reader);
    if (!failure) return S_OK;

    std::string description = "Failed to load document.\n";
    if (!failure->byHandler)
        description += failure->message;
    else if (!reader.PendingError().empty())
        description += reader.PendingError();
    else
        description += DescribeResult(failure->hr);
    char position[64];
    std::snprintf(position, sizeof position, "(Line %u, Col. %u)", failure->line, failure->column);
    description += position;
    SetErrorInfo(IGanttAdapter::iid, Utf8ToBstr(kAdapterName), Utf8ToBstr(description));
    return failure->hr == E_OUTOFMEMORY ? E_OUTOFMEMORY : E_FAIL;
}

HRESULT ReadProject(std::string_view bytes, IDocumentData* data) { return ReadProject(ReadFromMemory(bytes), data); }

}  // namespace qmx::xml
