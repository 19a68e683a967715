// The program's command line: the switches of an automation server and the
// name of a file to open.
#pragma once

#include <QString>
#include <QStringList>

namespace qmx {

struct CommandLine {
    enum class Action { Run, Register, Unregister };

    Action action = Action::Run;
    // "Embedding" or "Automation": started by a client through automation.
    bool startedByAutomation = false;
    // The first argument that is no switch; empty when there is none. The
    // program shows one document at a time, so later names are ignored.
    QString fileName;
};

// Switches start with "/" or "-" and are matched in any case: Embedding,
// Automation, RegServer and Register, UnregServer and Unregister. As an
// absolute file name starts with "/" too, "/" followed by anything else is a
// file name ("/embedding" is the switch, "/home/plan.qmxg" a file); an
// unknown "-" switch is ignored. arguments excludes the program name.
CommandLine ParseCommandLine(const QStringList& arguments);

}  // namespace qmx
