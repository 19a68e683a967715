// The qmxgantt tool as a script runs it: a separate process finding the XML
// adapter through the registry store of this test.
#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "adapters/contract/gantt_adapter.h"
#include "automation/bstr.h"
#include "automation/runtime/activation.h"
#include "automation/runtime/component_exports.h"
#include "tools/project_document.h"

namespace qmx {
namespace {

struct ToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// How the tool's standard output is set up for a raw run.
enum class Output { Pipe, Full, Closed };

// Runs the tool with arguments as bytes (QProcess would take them as text).
ToolRun RawTool(const std::vector<std::string>& arguments, Output output = Output::Pipe, bool closeAll = false)
{
    int out[2];
    int err[2];
    if (pipe(out) != 0 || pipe(err) != 0) return {};
    const std::string program = std::string(std::getenv("QMX_BUILD_BIN_DIR")) + "/qmxgantt";
    const pid_t child = fork();
    if (child == 0) {
        if (output == Output::Pipe) dup2(out[1], 1);
        if (output == Output::Full) dup2(open("/dev/full", O_WRONLY), 1);
        if (output == Output::Closed) close(1);
        if (closeAll) {
            close(0);
            close(2);
        } else {
            dup2(err[1], 2);
        }
        for (int fd : {out[0], out[1], err[0], err[1]})
            if (fd > 2) close(fd);
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(out[1]);
    close(err[1]);
    ToolRun run;
    const auto drain = [](int fd, std::string& into) {
        char buffer[4096];
        for (ssize_t got; (got = read(fd, buffer, sizeof buffer)) > 0;) into.append(buffer, static_cast<std::size_t>(got));
        close(fd);
    };
    drain(out[0], run.out);
    drain(err[0], run.err);
    int status = 0;
    waitpid(child, &status, 0);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// The names in a folder as bytes.
std::vector<std::string> Names(const QString& folder)
{
    std::vector<std::string> names;
    DIR* dir = opendir(folder.toUtf8().constData());
    while (dirent* entry = dir ? readdir(dir) : nullptr)
        if (entry->d_name[0] != '.') names.emplace_back(entry->d_name);
    if (dir) closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

class QmxGanttTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        const std::string library = std::string(std::getenv("QMX_BUILD_LIB_DIR")) + "/libQMXXmlAdapter.so";
        void* handle = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_TRUE(handle) << dlerror();
        auto reg = reinterpret_cast<RegisterServerFn>(dlsym(handle, kRegisterServerSymbol));
        ASSERT_TRUE(reg);
        ASSERT_EQ(reg(), S_OK);
    }

    ToolRun Tool(const QStringList& arguments, const QString& registry = QString())
    {
        QProcess process;
        if (!registry.isEmpty()) {
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert("QMX_REGISTRY", registry);
            process.setProcessEnvironment(environment);
        }
        process.start(QString::fromUtf8(std::getenv("QMX_BUILD_BIN_DIR")) + "/qmxgantt", arguments);
        EXPECT_TRUE(process.waitForFinished(60000));
        ToolRun run;
        run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        run.out = process.readAllStandardOutput().toStdString();
        run.err = process.readAllStandardError().toStdString();
        return run;
    }

    QString File(const char* name, const char* content)
    {
        const QString path = folder_.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return path;
    }

    QTemporaryDir folder_;
};

constexpr const char* kPlan =
    "<project name=\"Demo &quot;1&quot;\"><description>Two\nlines</description>\n"
    "<tasks color=\"#102030\" autocorrect=\"0\">\n"
    "<task id=\"1\" name=\"Design\" priority=\"1\" start=\"2/3/2026\" end=\"4/3/2026.4\" duration-unit=\"0\" "
    "complete=\"25\" meeting=\"0\" url=\"http://x\" color=\"#ff0000\"><notes>Tab\there</notes>"
    "<depend id=\"3\" type=\"0\"/>\n"
    "  <task id=\"2\" name=\"Sub\" start=\"2/3/2026\" end=\"3/3/2026\"/>\n"
    "</task>\n"
    "<task id=\"3\" name=\"Launch\" start=\"10/3/2026\" end=\"10/3/2026\" meeting=\"1\"/>\n"
    "</tasks>\n"
    "<resources><resource id=\"7\" name=\"Ann\"/><resource id=\"8\" name=\"Bob\"/></resources>\n"
    "<allocations><allocation task-id=\"2\" resource-id=\"7\" load=\"80\"/>"
    "<allocation task-id=\"3\" resource-id=\"7\"/></allocations>\n"
    "</project>\n";

TEST_F(QmxGanttTest, CheckPrintsASummaryOrTheErrorAsTheUserSeesIt)
{
    const QString plan = File("plan.qmxg", kPlan);
    ToolRun run = Tool({"check", plan});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, plan.toStdString() + ": 3 tasks, 1 links, 2 resources, 2 assignments\n");
    EXPECT_EQ(run.err, "");

    run = Tool({"check", File("bad.xml", "<project>\n<tasks><task name='no id'/></tasks></project>")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "Failed to load document.\nMissing task ID\n(Line 2, Col. 26)\n");

    run = Tool({"check", File("broken.xml", "<project>\n<tasks>\n</project>")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "Failed to load document.\nOpening and ending tag mismatch: tasks line 2 and project\n"
                       "(Line 3, Col. 11)\n");

    run = Tool({"check", folder_.filePath("missing.qmxg")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "Failed to open specified file.\n" + folder_.filePath("missing.qmxg").toStdString() +
                           ": No such file or directory\n");
}

TEST_F(QmxGanttTest, DumpPrintsTheWholePlanAsJson)
{
    const ToolRun run = Tool({"dump", File("plan.qmxg", kPlan)});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out,
              "{\n"
              "  \"name\": \"Demo \\\"1\\\"\",\n"
              "  \"description\": \"Two\\nlines\",\n"
              "  \"autocorrectTaskDates\": false,\n"
              "  \"matchColors\": true,\n"
              "  \"defaultColor\": \"#102030\",\n"
              "  \"tasks\": [\n"
              "    {\"id\": 1, \"parentId\": 0, \"index\": 0, \"name\": \"Design\", \"priority\": 2, "
              "\"start\": \"2026-03-02T00:00:00\", \"end\": \"2026-03-04T12:00:00\", \"duration\": 1, "
              "\"durationUnit\": 0, \"percentComplete\": 25, \"milestone\": false, \"notes\": \"Tab\\there\", "
              "\"url\": \"http://x\", \"color\": \"#ff0000\", \"successors\": [{\"id\": 3, \"type\": 0}]},\n"
              "    {\"id\": 2, \"parentId\": 1, \"index\": 0, \"name\": \"Sub\", \"priority\": 0, "
              "\"start\": \"2026-03-02T00:00:00\", \"end\": \"2026-03-03T00:00:00\", \"duration\": 1, "
              "\"durationUnit\": 1, \"percentComplete\": 0, \"milestone\": false, \"notes\": \"\", \"url\": \"\", "
              "\"color\": null, \"successors\": []},\n"
              "    {\"id\": 3, \"parentId\": 0, \"index\": 1, \"name\": \"Launch\", \"priority\": 0, "
              "\"start\": \"2026-03-10T00:00:00\", \"end\": \"2026-03-10T00:00:00\", \"duration\": 1, "
              "\"durationUnit\": 1, \"percentComplete\": 0, \"milestone\": true, \"notes\": \"\", \"url\": \"\", "
              "\"color\": null, \"successors\": []}\n"
              "  ],\n"
              "  \"resources\": [\n"
              "    {\"id\": 7, \"name\": \"Ann\"},\n"
              "    {\"id\": 8, \"name\": \"Bob\"}\n"
              "  ],\n"
              "  \"assignments\": [\n"
              "    {\"taskId\": 2, \"resourceId\": 7, \"units\": 80},\n"
              "    {\"taskId\": 3, \"resourceId\": 7, \"units\": 100}\n"
              "  ]\n"
              "}\n");
}

TEST_F(QmxGanttTest, ConvertSavesThroughTheAdapter)
{
    const QString in = File("plan.xml", kPlan);
    const QString out = folder_.filePath("plan.qmxg");
    ToolRun run = Tool({"convert", in, out});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    QFile written(out);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.read(2), QByteArray("\xFF\xFE", 2)) << "UTF-16 with a byte-order mark";
    EXPECT_EQ(Tool({"dump", out}).out, Tool({"dump", in}).out);

    run = Tool({"convert", in, folder_.filePath("no-such-folder/plan.qmxg")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "Failed to open specified file.\n" + folder_.filePath("no-such-folder").toStdString() +
                           ": No such file or directory\n");
}

TEST_F(QmxGanttTest, AFileOpenInAnotherInstanceIsRefused)
{
    const QString plan = File("plan.qmxg", kPlan);
    auto document = MakeObject<CProjectDocument>();
    ComPtr<IGanttAdapter> adapter;
    ASSERT_EQ(CreateInstance<IGanttAdapter>("QMXGanttDisplay.XmlAdapter", &adapter), S_OK);
    adapter->Connect(document.Get());
    ASSERT_EQ(adapter->FileOpen(0, plan.toStdU16String()), S_OK);

    // The message names this test as the holder, and the lock file.
    const std::string held = "Failed to open specified file.\nThe file is in use by qmxgantt_test (process " +
                             std::to_string(getpid()) + " on host ";
    const std::string lock = "\nLock file: " + folder_.filePath(".plan.qmxg.lock").toStdString() + "\n";
    ToolRun run = Tool({"check", plan});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err.rfind(held, 0), 0u) << run.err;
    EXPECT_TRUE(run.err.ends_with(lock)) << run.err;
    run = Tool({"convert", File("other.xml", kPlan), plan});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err.rfind(held, 0), 0u) << run.err;

    adapter->FileClose();
    adapter->Disconnect();
    EXPECT_EQ(Tool({"check", plan}).exitCode, 0);
}

TEST_F(QmxGanttTest, FileNamesThatAreNotUtf8AreKeptByteForByte)
{
    const std::string folder = folder_.path().toStdString() + "/";
    const std::string in = File("good.xml", kPlan).toStdString();
    const std::string bad = folder + "bad\xFF.qmxg";
    ToolRun run = RawTool({"convert", in, bad});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(Names(folder_.path()), (std::vector<std::string>{"bad\xFF.qmxg", "good.xml"}));

    run = RawTool({"check", bad});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, bad + ": 3 tasks, 1 links, 2 resources, 2 assignments\n");

    // A missing name never reads another file: not the one whose name is
    // the replacement character where the undecodable byte is.
    File("bad\xEF\xBF\xBD.qmxg", kPlan);
    const std::string missing = folder + "bad\xFE.qmxg";
    run = RawTool({"check", missing});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "Failed to open specified file.\n" + missing + ": No such file or directory\n");
}

TEST_F(QmxGanttTest, OutputThatDoesNotArriveIsAFailure)
{
    const std::string plan = File("plan.qmxg", kPlan).toStdString();
    struct Row {
        std::vector<std::string> arguments;
        Output output;
        const char* reason;
    };
    const Row rows[] = {
        {{"check", plan}, Output::Full, "No space left on device"},
        {{"dump", plan}, Output::Full, "No space left on device"},
        {{"--help"}, Output::Full, "No space left on device"},
        {{"check", plan}, Output::Closed, "Bad file descriptor"},
        {{"dump", plan}, Output::Closed, "Bad file descriptor"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.arguments[0] + (row.output == Output::Full ? " >/dev/full" : " >&-"));
        const ToolRun run = RawTool(row.arguments, row.output);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.err, std::string("qmxgantt: cannot write the output: ") + row.reason + "\n");
    }
    // With every standard descriptor closed, nothing lands in the plan or
    // its lock file either.
    EXPECT_EQ(RawTool({"dump", plan}, Output::Closed, true).exitCode, 1);
    QFile file(QString::fromStdString(plan));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().toStdString(), kPlan);
    EXPECT_EQ(Names(folder_.path()), std::vector<std::string>{"plan.qmxg"});
    EXPECT_FALSE(QFile::exists(folder_.filePath(".plan.qmxg.lock")));
}

TEST_F(QmxGanttTest, WrongUsageExitsWithTwo)
{
    const QStringList wrong[] = {{}, {"frobnicate", "x"}, {"check"}, {"dump", "a", "b"}, {"convert", "a"},
                                 {"check", ""}};
    for (const QStringList& arguments : wrong) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        const ToolRun run = Tool(arguments);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(run.err.rfind("qmxgantt: ", 0), 0u) << run.err;
        EXPECT_NE(run.err.find("Usage: qmxgantt check FILE"), std::string::npos);
        EXPECT_EQ(run.out, "");
    }
    const ToolRun help = Tool({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.out.rfind("Usage: qmxgantt check FILE\n", 0), 0u);
}

TEST_F(QmxGanttTest, WithoutARegisteredAdapterItSaysSo)
{
    const ToolRun run = Tool({"check", File("plan.qmxg", kPlan)}, folder_.filePath("empty-registry.ini"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("cannot create the XML adapter QMXGanttDisplay.XmlAdapter"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace qmx
