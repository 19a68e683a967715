// The program around the application object, as a test sees it: a plain
// widget stands for the main window, and every request is written down.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <QWidget>

#include "app/document/application_shell.h"
#include "automation/bstr.h"

namespace qmx::testing {

class TestShell final : public ApplicationShell {
public:
    std::unique_ptr<QWidget> window;
    bool windowCanBeCreated = true;
    bool userControl = false;
    std::string title;
    std::vector<std::string> recentFiles;
    std::vector<std::string> calls;

    QWidget* MainWindow() override { return window.get(); }
    bool CreateMainWindow() override
    {
        calls.push_back("CreateMainWindow");
        if (!windowCanBeCreated) return false;
        window = std::make_unique<QWidget>();
        return true;
    }
    void SetUserControl(bool on) override { userControl = on; }
    void SetDocumentTitle(const std::u16string& text) override { title = BstrToUtf8(text); }
    void AddRecentFile(const std::u16string& path) override { recentFiles.push_back(BstrToUtf8(path)); }
    void StandaloneModeChanged(bool standalone) override
    {
        calls.push_back(standalone ? "StandaloneMode" : "HostedMode");
    }
    void SendExitCommand() override { calls.push_back("Exit"); }
    void PrintActiveView(bool preview) override { calls.push_back(preview ? "PrintPreview" : "Print"); }
    void PostQuit() override { calls.push_back("PostQuit"); }
    void DisconnectClients() override { calls.push_back("DisconnectClients"); }
};

}  // namespace qmx::testing
