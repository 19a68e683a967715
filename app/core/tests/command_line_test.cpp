#include <gtest/gtest.h>

#include "app/core/command_line.h"

namespace qmx {
namespace {

using Action = CommandLine::Action;

TEST(CommandLineTest, SwitchesAndFileNames)
{
    struct Row {
        QStringList arguments;
        Action action;
        bool automation;
        QString file;
    };
    const Row rows[] = {
        {{}, Action::Run, false, {}},
        {{"plan.qmxg"}, Action::Run, false, "plan.qmxg"},
        {{"-Embedding"}, Action::Run, true, {}},
        {{"/embedding"}, Action::Run, true, {}},
        {{"-AUTOMATION"}, Action::Run, true, {}},
        {{"/RegServer"}, Action::Register, false, {}},
        {{"-register"}, Action::Register, false, {}},
        {{"/UnregServer"}, Action::Unregister, false, {}},
        {{"-UNREGISTER"}, Action::Unregister, false, {}},
        // An absolute file name is no switch, although it starts with "/".
        {{"/home/user/plan.qmxg"}, Action::Run, false, "/home/user/plan.qmxg"},
        {{"/Embedding", "/tmp/a.xml"}, Action::Run, true, "/tmp/a.xml"},
        // Unknown options are ignored; a lone "-" is a file name.
        {{"-verbose", "a.xml"}, Action::Run, false, "a.xml"},
        {{"-"}, Action::Run, false, "-"},
        // One document at a time: the first name counts.
        {{"a.xml", "b.xml"}, Action::Run, false, "a.xml"},
        {{"--Embedding"}, Action::Run, false, {}},
        {{"-Embeddingx"}, Action::Run, false, {}},
    };
    for (const Row& row : rows) {
        const CommandLine parsed = ParseCommandLine(row.arguments);
        const std::string context = row.arguments.join(' ').toStdString();
        EXPECT_EQ(parsed.action, row.action) << context;
        EXPECT_EQ(parsed.startedByAutomation, row.automation) << context;
        EXPECT_EQ(parsed.fileName, row.file) << context;
    }
}

}  // namespace
}  // namespace qmx
