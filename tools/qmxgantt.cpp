// qmxgantt: checks, dumps and converts project files from the command line,
// through the XML adapter registered in the user's registry store and a
// project model of its own.

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "adapters/contract/gantt_adapter.h"
#include "automation/bstr.h"
#include "automation/error_info.h"
#include "automation/file_name.h"
#include "automation/standard_streams.h"
#include "automation/runtime/activation.h"
#include "tools/project_document.h"
#include "tools/project_dump.h"
#include "tools/render_command.h"

namespace {

constexpr const char* kAdapterProgId = "QMXGanttDisplay.XmlAdapter";

enum ExitCode { kSuccess = 0, kFailure = 1, kUsageError = 2 };

constexpr const char* kUsageHead =
        "Usage: qmxgantt check FILE\n"
        "       qmxgantt dump FILE\n"
        "       qmxgantt convert IN OUT\n"
        "       qmxgantt render FILE OUT [options]\n"
        "Reads QMXGantt project files through the XML adapter.\n"
        "  check FILE      load FILE and print how many tasks, links, resources and\n"
        "                  assignments it holds\n"
        "  dump FILE       load FILE and print the whole plan as JSON\n"
        "  convert IN OUT  load IN and save it as OUT\n";
constexpr const char* kUsageTail =
        "  -h, --help      show this help\n"
        "Exit status: 0 on success, 1 when a file cannot be read or written, 2 for\n"
        "wrong usage. The adapter is found in the registry store ($QMX_REGISTRY, else\n"
        "~/.config/QMX/registry.ini) under " "QMXGanttDisplay.XmlAdapter, and for render\n"
        "the chart control under QMXGanttChart.Control.\n";

std::string Usage() { return std::string(kUsageHead) + qmx::kRenderUsage + kUsageTail; }

int UsageError(const char* message)
{
    std::fprintf(stderr, "qmxgantt: %s\n", message);
    std::fputs(Usage().c_str(), stderr);
    return kUsageError;
}

// Prints the adapter's error as the user would see it, or a message of our
// own when the adapter left none.
int ReportFailure(HRESULT hr, const char* what)
{
    if (auto error = qmx::GetErrorInfo(); error && !error->description.empty()) {
        // The description may name files: their bytes go out unchanged.
        std::fprintf(stderr, "%s\n", qmx::BstrToOutputBytes(error->description).c_str());
    } else {
        std::fprintf(stderr, "qmxgantt: %s failed (error 0x%08X)\n", what, static_cast<unsigned>(hr));
    }
    return kFailure;
}

class Session {
public:
    ~Session()
    {
        if (adapter_) {
            adapter_->FileClose();
            adapter_->Disconnect();
        }
    }

    int Start()
    {
        document_ = qmx::MakeObject<qmx::CProjectDocument>();
        const HRESULT hr = qmx::CreateInstance<IGanttAdapter>(kAdapterProgId, &adapter_);
        if (FAILED(hr) || !document_) {
            std::fprintf(stderr,
                         "qmxgantt: cannot create the XML adapter %s (error 0x%08X); register it with\n"
                         "  qmxregsvr libQMXXmlAdapter.so\n",
                         kAdapterProgId, static_cast<unsigned>(hr));
            return kFailure;
        }
        adapter_->Connect(document_.Get());
        return kSuccess;
    }

    int Open(const char* path)
    {
        const HRESULT hr = adapter_->FileOpen(0, qmx::FileNameToBstr(path));
        return FAILED(hr) ? ReportFailure(hr, "reading the file") : kSuccess;
    }

    int SaveAs(const char* path)
    {
        const HRESULT hr = adapter_->FileSaveAs(qmx::FileNameToBstr(path));
        return FAILED(hr) ? ReportFailure(hr, "writing the file") : kSuccess;
    }

    IDocumentData* Document() const { return document_.Get(); }

private:
    qmx::ComPtr<qmx::CProjectDocument> document_;
    qmx::ComPtr<IGanttAdapter> adapter_;
};

int Check(Session& session, const char* path)
{
    if (int rc = session.Open(path)) return rc;
    qmx::ProjectCounts counts;
    const HRESULT hr = qmx::CountProject(session.Document(), &counts);
    if (FAILED(hr)) return ReportFailure(hr, "reading the model");
    const std::string line = std::string(path) + ": " + std::to_string(counts.tasks) + " tasks, " +
                             std::to_string(counts.links) + " links, " + std::to_string(counts.resources) +
                             " resources, " + std::to_string(counts.assignments) + " assignments\n";
    qmx::WriteStandardOutput(line);
    return kSuccess;
}

int Dump(Session& session, const char* path)
{
    if (int rc = session.Open(path)) return rc;
    std::string json;
    const HRESULT hr = qmx::DumpProjectJson(session.Document(), &json);
    if (FAILED(hr)) return ReportFailure(hr, "reading the model");
    qmx::WriteStandardOutput(json);
    return kSuccess;
}

int Convert(Session& session, const char* in, const char* out)
{
    if (int rc = session.Open(in)) return rc;
    return session.SaveAs(out);
}

// Runs the command; what went to standard output is checked by main.
int Run(const std::vector<const char*>& args)
{
    for (const char* arg : args) {
        if (std::strcmp(arg, "-h") == 0 || std::strcmp(arg, "--help") == 0) {
            qmx::WriteStandardOutput(Usage());
            return kSuccess;
        }
    }
    if (args.empty()) return UsageError("no command given");
    const std::string command = args.front();
    const std::size_t operands = args.size() - 1;
    std::size_t expected = 0;
    if (command == "render") return qmx::RunRender(args);
    if (command == "check" || command == "dump")
        expected = 1;
    else if (command == "convert")
        expected = 2;
    else
        return UsageError(("unknown command '" + command + "'").c_str());
    if (operands != expected) return UsageError(("wrong number of arguments for '" + command + "'").c_str());
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i][0] == '\0') return UsageError("empty file name");
    }

    Session session;
    if (int rc = session.Start()) return rc;
    if (command == "check") return Check(session, args[1]);
    if (command == "dump") return Dump(session, args[1]);
    return Convert(session, args[1], args[2]);
}

}  // namespace

int main(int argc, char** argv)
{
    qmx::EnsureStandardDescriptors();
    const int rc = Run(std::vector<const char*>(argv + 1, argv + argc));
    // Output that did not arrive (a full disk, a closed descriptor) fails
    // the run, whatever the command answered.
    if (!qmx::CloseStandardOutput("qmxgantt")) return rc == kSuccess ? kFailure : rc;
    return rc;
}
