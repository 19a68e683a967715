// The user-interface seam answered by a test script: each message box takes
// the next queued answer (else its default), file and choice dialogs answer
// what the test set, and everything shown is written down.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "app/user_interface.h"
#include "automation/bstr.h"

namespace qmx::testing {

class ScriptedUi final : public UserInterface {
public:
    struct Message {
        std::string text;
        MessageIcon icon;
        MessageButtons buttons;
        MessageAnswer defaultAnswer;
    };
    std::vector<Message> messages;
    std::deque<MessageAnswer> answers;
    std::optional<std::u16string> openAnswer;
    std::optional<std::u16string> saveAnswer;
    std::vector<std::string> fileDialogs;  // "open <filter>", "save <filter>|<ext>|<initial>"
    std::optional<int> typeAnswer;
    std::vector<std::vector<std::string>> typeLists;
    std::optional<std::uint32_t> colorAnswer;
    std::vector<std::uint32_t> colorPresets;
    std::vector<std::string> menus;
    int waitDepth = 0;
    int waitCount = 0;
    std::optional<std::u16string> resourceNameAnswer;
    std::optional<std::pair<std::u16string, std::u16string>> documentAnswer;
    int taskDialogs = 0;
    IGanttAdapter* taskDialogAdapter = nullptr;

    std::vector<std::string> Texts() const
    {
        std::vector<std::string> texts;
        for (const Message& m : messages) texts.push_back(m.text);
        return texts;
    }

    MessageAnswer ShowMessage(const std::u16string& text, MessageButtons buttons, MessageIcon icon,
                              MessageAnswer defaultAnswer) override
    {
        messages.push_back({BstrToUtf8(text), icon, buttons, defaultAnswer});
        if (answers.empty()) return defaultAnswer;
        const MessageAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::optional<std::u16string> GetOpenFileName(const std::u16string& filter) override
    {
        fileDialogs.push_back("open " + BstrToUtf8(filter));
        return openAnswer;
    }
    std::optional<std::u16string> GetSaveFileName(const std::u16string& filter, const std::u16string& extension,
                                                  const std::u16string& initialName) override
    {
        fileDialogs.push_back("save " + BstrToUtf8(filter) + "|" + BstrToUtf8(extension) + "|" +
                              BstrToUtf8(initialName));
        return saveAnswer;
    }
    std::optional<std::uint32_t> ChooseColor(std::uint32_t initial) override
    {
        colorPresets.push_back(initial);
        return colorAnswer;
    }
    std::optional<int> ChooseDocumentType(const std::vector<std::u16string>& names, bool forExport) override
    {
        std::vector<std::string> list{forExport ? "export" : "new"};
        for (const auto& name : names) list.push_back(BstrToUtf8(name));
        typeLists.push_back(list);
        return typeAnswer;
    }
    void ShowContextMenu(int subMenu, int x, int y) override
    {
        menus.push_back(std::to_string(subMenu) + " " + std::to_string(x) + " " + std::to_string(y));
    }
    void SetWaitCursor(bool wait) override
    {
        waitDepth += wait ? 1 : -1;
        if (wait) ++waitCount;
    }
    bool EditTaskProperties(ITask*, IResources*, IGanttAdapter* adapter) override
    {
        ++taskDialogs;
        taskDialogAdapter = adapter;
        return false;
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
