// The Add-ins dialog: every registered add-in with a check box; checking
// loads it, clearing unloads it.
#pragma once

#include <QDialog>

class QListWidget;

namespace qmx::map {

class AddInManager;
class HostPrompts;

class AddInsDialog final : public QDialog {
public:
    AddInsDialog(AddInManager* addIns, HostPrompts* prompts, QWidget* parent = nullptr);
    QListWidget* list() const { return list_; }

private:
    void Fill();
    AddInManager* addIns_;
    HostPrompts* prompts_;
    QListWidget* list_;
    bool filling_ = false;
};

}  // namespace qmx::map
