// The user-interface seam answered by a test: messages are written down and
// answered Ok, the colour dialog answers what the test set.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/user_interface.h"
#include "automation/bstr.h"

namespace qmx::testing {

class ScriptedUserInterface final : public UserInterface {
public:
    struct Message {
        std::string text;
        MessageIcon icon;
    };
    std::vector<Message> messages;
    std::optional<std::uint32_t> colorAnswer;
    std::vector<std::uint32_t> colorPresets;
    std::vector<bool> waitCursor;
    std::optional<std::u16string> resourceNameAnswer;
    std::optional<std::pair<std::u16string, std::u16string>> documentAnswer;
    // The tasks the task dialog was asked for, with the pool and adapter it got.
    struct TaskDialogCall {
        ITask* task;
        IResources* pool;
        IGanttAdapter* adapter;
    };
    std::vector<TaskDialogCall> taskDialogs;

    MessageAnswer ShowMessage(const std::u16string& text, MessageButtons, MessageIcon icon, MessageAnswer) override
    {
        messages.push_back({BstrToUtf8(text), icon});
        return MessageAnswer::Ok;
    }
    std::optional<std::u16string> GetOpenFileName(const std::u16string&) override { return std::nullopt; }
    std::optional<std::u16string> GetSaveFileName(const std::u16string&, const std::u16string&,
                                                  const std::u16string&) override
    {
        return std::nullopt;
    }
    std::optional<std::uint32_t> ChooseColor(std::uint32_t initial) override
    {
        colorPresets.push_back(initial);
        return colorAnswer;
    }
    std::optional<int> ChooseDocumentType(const std::vector<std::u16string>&, bool) override { return std::nullopt; }
    void ShowContextMenu(int, int, int) override {}
    void SetWaitCursor(bool wait) override { waitCursor.push_back(wait); }
    bool EditTaskProperties(ITask* pTask, IResources* pPool, IGanttAdapter* pAdapter) override
    {
        taskDialogs.push_back({pTask, pPool, pAdapter});
        return true;
    }
    bool EditResourceName(std::u16string& name) override
    {
        if (!resourceNameAnswer) return false;
        name = *resourceNameAnswer;
        return true;
    }
    bool EditDocumentProperties(std::u16string& name, std::u16string& description) override
    {
        if (!documentAnswer) return false;
        name = documentAnswer->first;
        description = documentAnswer->second;
        return true;
    }
};

}  // namespace qmx::testing
