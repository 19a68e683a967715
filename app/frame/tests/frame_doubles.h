// Test doubles around the main window: the application object's command
// interface with states set by the test, the controller, the document's
// modified flag and the recent-file list.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "adapters/contract/document_data.h"
#include "app/app_commands.h"
#include "app/display_controller.h"
#include "app/frame/main_frame_factory.h"
#include "automation/com_object.h"

namespace qmx::testing {

class FakeCommands final : public ComObject<IAppCommands> {
public:
    std::array<bool, 36> enabled{};
    std::array<LONG, 36> checked{};
    std::vector<LONG> executed;
    int closes = 0;
    std::function<void(LONG)> onExecute;
    std::function<void()> onClose;

    HRESULT Close() override
    {
        ++closes;
        if (onClose) onClose();
        return S_OK;
    }
    HRESULT Execute(LONG iOperation) override
    {
        executed.push_back(iOperation);
        if (onExecute) onExecute(iOperation);
        return S_OK;
    }
    HRESULT QueryState(LONG iOperation, VARIANT_BOOL* pvbEnabled, LONG* pnChecked) override
    {
        if (iOperation < 1 || iOperation > 35) return E_INVALIDARG;
        *pvbEnabled = enabled[static_cast<std::size_t>(iOperation)] ? VARIANT_TRUE : VARIANT_FALSE;
        *pnChecked = checked[static_cast<std::size_t>(iOperation)];
        return S_OK;
    }
    void EnableAll(bool on) { enabled.fill(on); }
};

class FakeController final : public IDisplayController {
public:
    bool standalone = true;
    HRESULT shutdownResult = S_OK;
    bool canExit = true;
    int shutdowns = 0;
    std::vector<std::u16string> opened;
    std::vector<std::u16string> openable;
    IGanttChartControl* attached = nullptr;

    void AttachControl(IGanttChartControl* pControl) override { attached = pControl; }
    HRESULT Initialize() override { return S_OK; }
    HRESULT OpenDocument(const BSTR& bsFileName) override
    {
        opened.push_back(bsFileName);
        for (const auto& name : openable)
            if (name == bsFileName) return S_OK;
        return E_FAIL;
    }
    bool CanClose() override { return true; }
    HRESULT Shutdown(bool force, bool* pCanExit) override
    {
        ++shutdowns;
        lastForce = force;
        *pCanExit = canExit;
        return shutdownResult;
    }
    bool IsStandalone() override { return standalone; }
    bool lastForce = true;
};

class FakeDocument final : public ComObject<IDocumentData> {
public:
    bool modified = false;
    HRESULT get_TaskTree(ITaskTree**) override { return E_NOTIMPL; }
    HRESULT get_Resources(IResources**) override { return E_NOTIMPL; }
    HRESULT get_Properties(IDocumentProperties**) override { return E_NOTIMPL; }
    HRESULT get_IsModified(VARIANT_BOOL* pvbModified) override
    {
        *pvbModified = modified ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    }
    HRESULT DeleteContents() override { return E_NOTIMPL; }
    HRESULT AdjustTimeRange() override { return E_NOTIMPL; }
    HRESULT ResetTimeRange() override { return E_NOTIMPL; }
    HRESULT get_CurrentViewSettings(BSTR*) override { return E_NOTIMPL; }
    HRESULT put_CurrentViewSettings(const BSTR&) override { return E_NOTIMPL; }
    HRESULT ExpandTask(ITask*, VARIANT_BOOL) override { return E_NOTIMPL; }
};

class FakeRecentFiles final : public RecentFileList {
public:
    std::vector<std::u16string> files;
    std::vector<std::u16string> Files() const override { return files; }
    void Remove(std::size_t index) override
    {
        if (index < files.size()) files.erase(files.begin() + static_cast<std::ptrdiff_t>(index));
    }
};

}  // namespace qmx::testing
