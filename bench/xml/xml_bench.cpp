// Reading and writing a large XML project file: 100,000 tasks (10,000
// summaries of 9 subtasks each), about 100,000 links and 50,000
// assignments, against a bare libxml2 SAX parse of the same bytes.
#include <benchmark/benchmark.h>

#include <libxml/SAX2.h>
#include <libxml/parser.h>


#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "adapters/xml/document_file.h"
#include "adapters/xml/project_reader.h"
#include "adapters/xml/project_writer.h"
#include "automation/bstr.h"
#include "automation/date_time.h"
#include "bench/xml/large_plan.h"
#include "tools/project_document.h"

namespace {

using qmx::ComPtr;
using qmx::CProjectDocument;

using qmx::bench::kGroups;
using qmx::bench::kLeavesPerGroup;
using qmx::bench::kResources;
using qmx::bench::LeafId;
using qmx::bench::LargePlan;
using qmx::bench::TheLargePlan;

void BM_ReadProject(benchmark::State& state)
{
    const std::string& bytes = TheLargePlan().bytes;
    for (auto _ : state) {
        auto document = qmx::MakeObject<CProjectDocument>();
        if (FAILED(qmx::xml::ReadProject(bytes, document.Get()))) state.SkipWithError("read failed");
        state.PauseTiming();
        document.Reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_ReadProject)->Unit(benchmark::kMillisecond);

// The floor: libxml2 reading the same bytes the same way, with callbacks
// that do nothing.
void NoStart(void*, const xmlChar*, const xmlChar*, const xmlChar*, int, const xmlChar**, int, int,
             const xmlChar**)
{
}
void NoEnd(void*, const xmlChar*, const xmlChar*, const xmlChar*) {}
void NoCharacters(void*, const xmlChar*, int) {}
void NoError(void*, xmlErrorPtr) {}

void BM_BareSaxParse(benchmark::State& state)
{
    const std::string& bytes = TheLargePlan().bytes;
    xmlSAXHandler sax;
    std::memset(&sax, 0, sizeof sax);
    sax.initialized = XML_SAX2_MAGIC;
    sax.startElementNs = NoStart;
    sax.endElementNs = NoEnd;
    sax.characters = NoCharacters;
    sax.serror = NoError;
    for (auto _ : state) {
        const qmx::xml::ReadFunction read = qmx::xml::ReadFromMemory(bytes);
        xmlParserCtxtPtr ctxt = xmlCreateIOParserCtxt(
            &sax, nullptr,
            [](void* context, char* buffer, int size) { return (*static_cast<const qmx::xml::ReadFunction*>(context))(buffer, size); },
            nullptr, const_cast<qmx::xml::ReadFunction*>(&read), XML_CHAR_ENCODING_NONE);
        xmlCtxtUseOptions(ctxt, XML_PARSE_NONET);
        xmlParseDocument(ctxt);
        if (!ctxt->wellFormed) state.SkipWithError("parse failed");
        xmlFreeParserCtxt(ctxt);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_BareSaxParse)->Unit(benchmark::kMillisecond);

// The model's share of reading: the calls the reader makes for this plan
// (tasks with their values in file order, then the links, then the
// assignments), without any XML.
struct TaskRecord {
    LONG parentId;
    LONG id;
    BSTR name;
    DATE start;
    DATE end;
    float duration;
    LONG complete;
    BSTR notes;
    std::vector<std::pair<LONG, QMXDependencyType>> successors;
    std::vector<std::pair<LONG, LONG>> assignments;
};

std::vector<TaskRecord> RecordPlan(CProjectDocument& document)
{
    std::vector<TaskRecord> records;
    ComPtr<ITasks> roots;
    document.TaskTree()->get_RootTasks(roots.ReleaseAndGetAddressOf());
    auto record = [&records](ITask* task, LONG parentId) {
        TaskRecord r{};
        r.parentId = parentId;
        task->get_ID(&r.id);
        task->get_Name(&r.name);
        task->get_StartDate(&r.start);
        task->get_EndDate(&r.end);
        task->get_Duration(&r.duration);
        task->get_PercentComplete(&r.complete);
        task->get_Notes(&r.notes);
        ComPtr<ITaskDependencies> successors;
        task->get_Successors(successors.ReleaseAndGetAddressOf());
        LONG count = 0;
        successors->get_Count(&count);
        for (LONG i = 0; i < count; ++i) {
            ComPtr<ITaskDependency> link;
            ComPtr<ITask> dependent;
            QMXDependencyType type = dtFinishToStart;
            LONG id = 0;
            successors->get_Dependencies(i, link.ReleaseAndGetAddressOf());
            link->get_Type(&type);
            link->get_PairTask(dependent.ReleaseAndGetAddressOf());
            dependent->get_ID(&id);
            r.successors.emplace_back(id, type);
        }
        ComPtr<ITaskResources> assignments;
        task->get_Resources(assignments.ReleaseAndGetAddressOf());
        assignments->get_Count(&count);
        for (LONG i = 0; i < count; ++i) {
            ComPtr<ITaskResource> assignment;
            ComPtr<IResource> resource;
            LONG id = 0;
            LONG units = 0;
            assignments->get_TaskResources(i, assignment.ReleaseAndGetAddressOf());
            assignment->get_Resource(resource.ReleaseAndGetAddressOf());
            resource->get_ID(&id);
            assignment->get_Units(&units);
            r.assignments.emplace_back(id, units);
        }
        records.push_back(std::move(r));
    };
    LONG count = 0;
    roots->get_Count(&count);
    for (LONG i = 0; i < count; ++i) {
        ComPtr<ITask> summary;
        ComPtr<ITasks> leaves;
        LONG summaryId = 0;
        LONG leafCount = 0;
        roots->get_Tasks(i, summary.ReleaseAndGetAddressOf());
        summary->get_ID(&summaryId);
        record(summary.Get(), 0);
        summary->get_Subtasks(leaves.ReleaseAndGetAddressOf());
        leaves->get_Count(&leafCount);
        for (LONG j = 0; j < leafCount; ++j) {
            ComPtr<ITask> leaf;
            leaves->get_Tasks(j, leaf.ReleaseAndGetAddressOf());
            record(leaf.Get(), summaryId);
        }
    }
    return records;
}

void BM_ModelCallsOfARead(benchmark::State& state)
{
    static const std::vector<TaskRecord> records = RecordPlan(*TheLargePlan().document);
    for (auto _ : state) {
        auto document = qmx::MakeObject<CProjectDocument>();
        ITaskTree* tree = document->TaskTree();
        IResources* resources = document->Resources();
        tree->put_AutocorrectTaskDates(VARIANT_TRUE);
        ComPtr<ITasks> roots;
        tree->get_RootTasks(roots.ReleaseAndGetAddressOf());
        ComPtr<ITask> parent;
        ComPtr<ITasks> parentList;
        for (const TaskRecord& r : records) {
            ComPtr<ITasks> list = roots;
            if (r.parentId != 0) list = parentList;
            ComPtr<ITask> task;
            list->AddWithID(r.id, -1, r.name, task.ReleaseAndGetAddressOf());
            task->put_Priority(prNone);
            task->put_StartDate(r.start);
            task->put_EndDate(r.end);
            task->put_Duration(r.duration);
            task->put_DurationUnit(duDay);
            task->put_PercentComplete(r.complete);
            task->put_IsMilestone(VARIANT_FALSE);
            task->put_URL(BSTR());
            ComPtr<ITaskAppearance> appearance;
            task->get_Appearance(appearance.ReleaseAndGetAddressOf());
            appearance->put_Color(kNoTaskColor);
            task->put_Notes(r.notes);
            if (r.parentId == 0) task->get_Subtasks(parentList.ReleaseAndGetAddressOf());
        }
        for (LONG id = 1; id <= kResources; ++id) {
            ComPtr<IResource> resource;
            resources->AddWithID(id, qmx::Utf8ToBstr("Resource " + std::to_string(id)),
                                 resource.ReleaseAndGetAddressOf());
        }
        for (const TaskRecord& r : records) {
            for (const auto& [dependent, type] : r.successors) tree->DependencyLink(r.id, dependent, type);
        }
        for (const TaskRecord& r : records) {
            for (const auto& [resourceId, units] : r.assignments) {
                ComPtr<ITask> task;
                ComPtr<IResource> resource;
                ComPtr<ITaskResources> assignments;
                ComPtr<ITaskResource> assignment;
                tree->GetTask(r.id, task.ReleaseAndGetAddressOf());
                resources->GetResourceByID(resourceId, resource.ReleaseAndGetAddressOf());
                task->get_Resources(assignments.ReleaseAndGetAddressOf());
                assignments->Add(resource.Get(), assignment.ReleaseAndGetAddressOf());
                assignment->put_Units(units);
            }
        }
        state.PauseTiming();
        document.Reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ModelCallsOfARead)->Unit(benchmark::kMillisecond);

void BM_WriteProject(benchmark::State& state)
{
    const LargePlan& plan = TheLargePlan();
    std::string out;
    for (auto _ : state) {
        out.clear();
        qmx::xml::WriteProject(plan.document.Get(), [&out](const char* data, std::size_t size) {
            out.append(data, size);
            return true;
        });
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * out.size()));
}
BENCHMARK(BM_WriteProject)->Unit(benchmark::kMillisecond);

// As a save does it: a temporary file beside the target, then a rename.
void BM_SaveProjectFile(benchmark::State& state)
{
    const LargePlan& plan = TheLargePlan();
    const std::string path = (std::filesystem::temp_directory_path() / "qmx_xml_bench.qmxg").string();
    std::string why;
    auto file = qmx::xml::CDocumentFile::Create(path, &why);
    if (!file) {
        state.SkipWithError(why.c_str());
        return;
    }
    for (auto _ : state) {
        const auto result = file->Replace([&plan](const qmx::xml::WriteFunction& write) {
            return qmx::xml::WriteProject(plan.document.Get(), write);
        }, &why);
        if (result != qmx::xml::CDocumentFile::WriteResult::Written) state.SkipWithError("save failed");
    }
    file.reset();
    std::filesystem::remove(path);
}
BENCHMARK(BM_SaveProjectFile)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
