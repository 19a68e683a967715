#include "app/core/command_line.h"

#include <optional>

namespace qmx {
namespace {

struct Switch {
    const char* name;
    std::optional<CommandLine::Action> action;  // none: Embedding, Automation
};

constexpr Switch kSwitches[] = {
    {"Embedding", std::nullopt},
    {"Automation", std::nullopt},
    {"RegServer", CommandLine::Action::Register},
    {"Register", CommandLine::Action::Register},
    {"UnregServer", CommandLine::Action::Unregister},
    {"Unregister", CommandLine::Action::Unregister},
};

const Switch* FindSwitch(const QString& name)
{
    for (const Switch& candidate : kSwitches)
        if (name.compare(QLatin1String(candidate.name), Qt::CaseInsensitive) == 0) return &candidate;
    return nullptr;
}

}  // namespace

CommandLine ParseCommandLine(const QStringList& arguments)
{
    CommandLine result;
    for (const QString& argument : arguments) {
        const bool switchLike = argument.size() > 1 && (argument.front() == u'/' || argument.front() == u'-');
        const Switch* known = switchLike ? FindSwitch(argument.mid(1)) : nullptr;
        if (known) {
            if (known->action)
                result.action = *known->action;
            else
                result.startedByAutomation = true;
        } else if (switchLike && argument.front() == u'-') {
            continue;  // an option this program does not know
        } else if (result.fileName.isEmpty() && !argument.isEmpty()) {
            result.fileName = argument;
        }
    }
    return result;
}

}  // namespace qmx
