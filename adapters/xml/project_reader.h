// Reading an XML project file into the project model: a content handler
// driven by the SAX parser, filling the model through IDocumentData as the
// events arrive. Links are made at the end of the document, since a link may
// name a task that comes later in the file.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "adapters/contract/document_data.h"
#include "adapters/xml/sax_parser.h"
#include "automation/com_ptr.h"

namespace qmx::xml {

// The adapter's name, the source of every error it reports.
inline constexpr const char* kAdapterName = "QMXXmlAdapter";

// Reads a project into the document's model. On failure the per-thread
// error object holds the description for the user ("Failed to load
// document." and what went wrong, with the line and column); what was read
// before the failure stays in the model for the caller to empty.
HRESULT ReadProject(const ReadFunction& read, IDocumentData* data);
HRESULT ReadProject(std::string_view bytes, IDocumentData* data);

// The reader's state machine, one per parse.
class CProjectReader final : public SaxContentHandler {
public:
    explicit CProjectReader(IDocumentData* data) : data_(data) {}

    HRESULT StartDocument() override;
    HRESULT StartElement(std::string_view name, const SaxAttributes& attributes) override;
    HRESULT EndElement() override;
    HRESULT Characters(std::string_view text) override;
    HRESULT EndDocument() override;

    // Why the last handler call failed, ending in a line feed.
    const std::string& PendingError() const { return pendingError_; }

private:
    enum class State { Document, Project, Description, Tasks, Task, Notes, Depend, Resources, Resource, Allocations, Allocation };
    // Sections of which only the first counts.
    enum Section : unsigned { kProject = 1, kDescription = 2, kTasks = 4, kResources = 8, kAllocations = 16 };

    struct OpenTask {
        LONG id;
        ComPtr<ITask> task;
        bool notesRead;
    };
    struct PendingLink {
        LONG source;
        LONG dependent;
        QMXDependencyType type;
    };

    HRESULT StartInProject(std::string_view name, const SaxAttributes& attributes);
    HRESULT ReadTasksSection(const SaxAttributes& attributes);
    HRESULT CreateTask(const SaxAttributes& attributes);
    HRESULT ReadLink(const SaxAttributes& attributes);
    HRESULT CreateResource(const SaxAttributes& attributes);
    HRESULT CreateAssignment(const SaxAttributes& attributes);
    HRESULT MakeLinks();

    bool Completed(Section section) const { return (completed_ & section) != 0; }
    void Complete(Section section) { completed_ |= section; }
    // The text buffer, trimmed, as a string for the model.
    BSTR TakeText();

    // A required ID attribute: an integer of at least 1. Sets the missing or
    // invalid ID message for its kind.
    enum class IdKind { Task, Resource };
    HRESULT RequireId(const SaxAttributes& attributes, std::string_view name, IdKind kind, LONG* id);
    // Sets the pending error and returns the failing result.
    HRESULT Fail(HRESULT hr, std::string message);
    // A failing model call: the error object the model left, if any, else
    // the message given.
    HRESULT ModelFailure(HRESULT hr, std::string message);

    IDocumentData* data_;
    ComPtr<ITaskTree> tree_;
    ComPtr<ITasks> rootTasks_;
    ComPtr<IResources> resources_;
    ComPtr<IDocumentProperties> properties_;
    DATE today_ = 0;

    State state_ = State::Document;
    int skipDepth_ = 0;
    unsigned completed_ = 0;
    std::vector<OpenTask> openTasks_;
    std::vector<PendingLink> pendingLinks_;
    std::string text_;
    std::string pendingError_;
};

}  // namespace qmx::xml
